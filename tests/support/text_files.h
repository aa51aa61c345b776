// Reading back what the program wrote: CR LF lines and log messages.
#ifndef TROVANE_TESTS_SUPPORT_TEXT_FILES_H_
#define TROVANE_TESTS_SUPPORT_TEXT_FILES_H_

#include <string>
#include <string_view>
#include <vector>

namespace trovane::testing {

// The lines of `content`; a line without its CR LF fails the test.
std::vector<std::string> CrLfLines(std::string_view content);

// The messages of a log's lines, the time stamp up to "| " cut off. A last
// line still being written (no CR LF yet) is left out.
std::vector<std::string> LogMessages(std::string_view content);

// The messages of a log written while the fake clock stood at its first
// moment, each line's time stamp checked: every line must be complete.
std::vector<std::string> StampedMessages(std::string_view content);

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_SUPPORT_TEXT_FILES_H_
