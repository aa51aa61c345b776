#include "shell/activity_log.h"

#include "platform/log_file.h"

namespace trovane {

void ActivityLog::Append(std::string_view text) {
  AppendLogLine(files_, clock_, Path(), text);
}

void ActivityLog::Delete() { files_.Delete(Path()); }

}  // namespace trovane
