#include "tests/support/fakes.h"

#include <cmath>

namespace trovane::testing {

FakeClock::FakeClock() { SetTime(2026, 12, 8, 21, 24, 33); }

void FakeClock::SetTime(int year, int month, int day, int hour, int minute,
                        int second, float fraction) {
  reading_.time = {year, month, day, hour, minute, second};
  seconds_ = hour * 3600.0 + minute * 60.0 + second + fraction;
  reading_.seconds_since_midnight = static_cast<float>(seconds_);
}

void FakeClock::Advance(std::chrono::milliseconds duration) {
  seconds_ += static_cast<double>(duration.count()) / 1000.0;
  const int whole = static_cast<int>(std::floor(seconds_));
  reading_.time.hour = whole / 3600 % 24;
  reading_.time.minute = whole / 60 % 60;
  reading_.time.second = whole % 60;
  reading_.seconds_since_midnight = static_cast<float>(seconds_);
}

void FakeClock::Sleep(std::chrono::milliseconds duration) {
  ++sleeps_;
  Advance(duration);
}

std::string FakeEnvironment::Get(std::string_view name) const {
  const auto it = variables_.find(name);
  return it == variables_.end() ? std::string() : it->second;
}

std::string FakeEnvironment::ToDriveForm(std::string_view path) const {
  const auto it = drive_forms_.find(path);
  return it == drive_forms_.end() ? std::string(path) : it->second;
}

}  // namespace trovane::testing
