#include "platform/log_file.h"

#include "platform/time_text.h"

namespace trovane {

void AppendLogLine(FileSystem& files, Clock& clock, std::string_view path,
                   std::string_view message) {
  std::unique_ptr<OutputFile> log = files.OpenForAppending(path, {});
  if (!log) return;
  log->WriteLine(LogLineText(clock.Now(), message));
  log->Close();
}

}  // namespace trovane
