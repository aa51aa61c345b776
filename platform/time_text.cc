#include "platform/time_text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace trovane {

std::string DateText(const LocalTime& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d-%02d-%04d", time.month, time.day,
                time.year);
  return text;
}

std::string TimeText(const LocalTime& time) {
  char text[32];
  std::snprintf(text, sizeof text, "%02d:%02d:%02d", time.hour, time.minute,
                time.second);
  return text;
}

std::string FractionText(float seconds_since_midnight) {
  // The subtraction is exact in single precision, so the fraction carries
  // just the digits the counter itself holds.
  const float fraction =
      seconds_since_midnight - std::floor(seconds_since_midnight);
  if (!(fraction > 0.0F)) return {};
  // Seven significant digits in fixed notation.
  const int leading_zeros =
      -static_cast<int>(std::floor(std::log10(static_cast<double>(fraction))));
  const int decimals = 6 + leading_zeros;
  char digits[64];
  const auto result = std::to_chars(digits, digits + sizeof digits,
                                    static_cast<double>(fraction),
                                    std::chars_format::fixed, decimals);
  // A single-precision fraction is never within rounding distance of 1 at
  // seven digits, so the text always starts "0.".
  std::string text(digits, result.ptr);
  while (text.back() == '0') text.pop_back();
  return text.substr(1);  // drops the leading zero, keeps the point
}

std::string LogLineText(const ClockReading& reading, std::string_view message) {
  std::string line = DateText(reading.time);
  line.push_back(' ');
  line += TimeText(reading.time);
  line += FractionText(reading.seconds_since_midnight);
  line += "| ";
  line.append(message);
  return line;
}

std::string DateTimeText(const LocalTime& time) {
  return DateText(time) + " " + TimeText(time);
}

}  // namespace trovane
