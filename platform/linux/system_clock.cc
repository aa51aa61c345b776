#include <time.h>

#include <thread>

#include "platform/clock.h"

namespace trovane {

ClockReading SystemClock::Now() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  ClockReading reading;
  reading.time = {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                  local.tm_hour,        local.tm_min,     local.tm_sec};
  const double seconds = local.tm_hour * 3600.0 + local.tm_min * 60.0 +
                         local.tm_sec + now.tv_nsec * 1e-9;
  reading.seconds_since_midnight = static_cast<float>(seconds);
  return reading;
}

double SystemClock::MonotonicSeconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  return static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
}

void SystemClock::Sleep(std::chrono::milliseconds duration) {
  std::this_thread::sleep_for(duration);
}

}  // namespace trovane
