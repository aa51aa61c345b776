// Appending one time-stamped line to a log file. The file is opened and
// closed for every line, so a log is complete on disk after each one, also
// when the process ends abruptly.
#ifndef TROVANE_PLATFORM_LOG_FILE_H_
#define TROVANE_PLATFORM_LOG_FILE_H_

#include <string_view>

#include "platform/clock.h"
#include "platform/file_system.h"

namespace trovane {

// Appends date, time, fraction, "| " and `message` with CR LF to the file at
// `path`, creating it when it is missing. A line that cannot be written is
// lost without a word.
void AppendLogLine(FileSystem& files, Clock& clock, std::string_view path,
                   std::string_view message);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_LOG_FILE_H_
