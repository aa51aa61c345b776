// The activity log "\Trovane.Log" in the run folder: one time-stamped
// line for every stage of a run.
#ifndef TROVANE_SHELL_ACTIVITY_LOG_H_
#define TROVANE_SHELL_ACTIVITY_LOG_H_

#include <string>
#include <string_view>

#include "databank/run_files.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "platform/log_file.h"

namespace trovane {

class ActivityLog {
 public:
  ActivityLog(FileSystem& files, Clock& clock)
      : files_(files), log_(files, clock) {}

  // The folder the log lies in (the run path), fixed at start-up.
  void SetFolder(std::string_view folder) {
    log_.SetPath(InFolder(folder, kActivityLogName));
  }

  // Appends one line; a line that cannot be written is lost silently.
  void Append(std::string_view text) { log_.Append(text); }

  // Deletes the log of an earlier run.
  void Delete() {
    log_.Reopen();
    files_.Delete(log_.path());
  }

 private:
  FileSystem& files_;
  LogFile log_;
};

}  // namespace trovane

#endif  // TROVANE_SHELL_ACTIVITY_LOG_H_
