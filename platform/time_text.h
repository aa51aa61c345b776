// The text forms of time that the logs and the databank stamps use.
#ifndef TROVANE_PLATFORM_TIME_TEXT_H_
#define TROVANE_PLATFORM_TIME_TEXT_H_

#include <string>
#include <string_view>

#include "platform/clock.h"

namespace trovane {

// MM-DD-YYYY.
std::string DateText(const LocalTime& time);

// HH:MM:SS, 24-hour clock.
std::string TimeText(const LocalTime& time);

// The fraction of the current second as the logs write it: empty at a whole
// second, else a point and the digits of the single-precision fraction, at
// most seven significant ones, no trailing zeros (".5", ".5390625"). Very
// small fractions are written out in full rather than with an exponent.
std::string FractionText(float seconds_since_midnight);

// One log line without its line end: date, a space, time, fraction, "| ",
// message.
std::string LogLineText(const ClockReading& reading, std::string_view message);

// A file's last-modified moment as the databank stamps it when a databank
// that lacks its stamp is repaired: "MM-DD-YYYY HH:MM:SS".
std::string DateTimeText(const LocalTime& time);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_TIME_TEXT_H_
