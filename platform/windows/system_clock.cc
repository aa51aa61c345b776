#include <windows.h>

#include <thread>

#include "platform/clock.h"

namespace trovane {
namespace {

constexpr int64_t kTicksPerSecond = 10'000'000;  // of a FILETIME

}  // namespace

ClockReading SystemClock::Now() {
  FILETIME universal;
  GetSystemTimePreciseAsFileTime(&universal);
  // The zone's offset now, summer time included.
  FILETIME local;
  SYSTEMTIME fields{};
  FileTimeToLocalFileTime(&universal, &local);
  FileTimeToSystemTime(&local, &fields);
  const int64_t ticks =
      static_cast<int64_t>((static_cast<uint64_t>(local.dwHighDateTime) << 32) |
                           local.dwLowDateTime);
  ClockReading reading;
  reading.time = {fields.wYear, fields.wMonth,  fields.wDay,
                  fields.wHour, fields.wMinute, fields.wSecond};
  const double seconds =
      fields.wHour * 3600.0 + fields.wMinute * 60.0 + fields.wSecond +
      static_cast<double>(ticks % kTicksPerSecond) / kTicksPerSecond;
  reading.seconds_since_midnight = static_cast<float>(seconds);
  return reading;
}

double SystemClock::MonotonicSeconds() {
  static const double frequency = [] {
    LARGE_INTEGER counts_per_second;
    QueryPerformanceFrequency(&counts_per_second);
    return static_cast<double>(counts_per_second.QuadPart);
  }();
  LARGE_INTEGER now;
  QueryPerformanceCounter(&now);
  return static_cast<double>(now.QuadPart) / frequency;
}

void SystemClock::Sleep(std::chrono::milliseconds duration) {
  std::this_thread::sleep_for(duration);
}

}  // namespace trovane
