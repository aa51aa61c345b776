// Local time as the program reads it: one reading gives the date, the time
// of day and the seconds since midnight as a single-precision number, the
// counter the logs take their fractions from.
#ifndef TROVANE_PLATFORM_CLOCK_H_
#define TROVANE_PLATFORM_CLOCK_H_

#include <chrono>

namespace trovane {

struct LocalTime {
  int year = 1970;
  int month = 1;  // 1 to 12
  int day = 1;    // 1 to 31
  int hour = 0;
  int minute = 0;
  int second = 0;
};

struct ClockReading {
  LocalTime time;
  float seconds_since_midnight = 0.0F;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual ClockReading Now() = 0;
  // Seconds from an arbitrary start, never going back: cheap enough to read
  // once per line of a long file, for throttling what is shown.
  virtual double MonotonicSeconds() = 0;
  virtual void Sleep(std::chrono::milliseconds duration) = 0;
};

// The clock of this machine, in its local time zone.
class SystemClock : public Clock {
 public:
  ClockReading Now() override;
  double MonotonicSeconds() override;
  void Sleep(std::chrono::milliseconds duration) override;
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_CLOCK_H_
