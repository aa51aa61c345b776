// A log the program appends time-stamped lines to: date, time, fraction,
// "| ", message, CR LF. Every line reaches the file in one write of its
// own, so the log is complete on disk after each line, also when the
// process ends abruptly. Between lines the file stays open, which spares
// each line an open and a close; it holds no file number (no serial is
// ever printed for a log, and nothing else is opened while a line is
// written), and it is opened anew at least every tenth of a second, so
// that a log another process renamed or deleted is soon written afresh.
#ifndef TROVANE_PLATFORM_LOG_FILE_H_
#define TROVANE_PLATFORM_LOG_FILE_H_

#include <memory>
#include <string>
#include <string_view>

#include "platform/clock.h"
#include "platform/file_system.h"

namespace trovane {

class LogFile {
 public:
  LogFile(FileSystem& files, Clock& clock) : files_(files), clock_(clock) {}

  // The log's path in drive form; a new path is opened at its next line.
  void SetPath(std::string path);
  const std::string& path() const { return path_; }

  // Appends one line, creating the file when it is missing. A line that
  // cannot be written is lost without a word.
  void Append(std::string_view message);

  // Lets go of the open file, for a caller about to rename or delete it:
  // the next line opens the file of the log's name again.
  void Reopen() { file_.reset(); }

 private:
  FileSystem& files_;
  Clock& clock_;
  std::string path_;
  std::unique_ptr<WritableFile> file_;
  double opened_at_ = 0;  // monotonic seconds
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_LOG_FILE_H_
