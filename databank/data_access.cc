// Access settings and the databank I/O log.
#include <string>
#include <string_view>

#include "databank/data.h"
#include "databank/run_files.h"
#include "platform/log_file.h"

namespace trovane {
Data::Data(FileSystem& files, FileNumbers& numbers, Clock& clock,
           const Environment& environment)
    : files_(files),
      numbers_(numbers),
      clock_(clock),
      environment_(environment),
      io_log_(files, clock) {}

void Data::StartDatabankLog(bool keep_previous) {
  const std::string folder = environment_.RunFolder();
  const std::string log = InFolder(folder, kIoLogName);
  io_log_.Reopen();
  if (keep_previous) {
    const std::string previous = InFolder(folder, kPreviousIoLogName);
    files_.Delete(previous);
    files_.Rename(log, previous);
  } else {
    files_.Delete(log);
  }
  logging_ = true;
}

void Data::OpenDatabankAccess() {
  std::string temporary;
  for (const std::string_view variable : kTemporaryFolderVariables) {
    temporary = environment_.Get(variable);
    if (!temporary.empty()) break;
  }
  temporary_folder_ = temporary.empty() ? environment_.RunFolder()
                                        : environment_.ToDriveForm(temporary);
  // A folder other users may write in is not taken as it is: the run
  // keeps its files in a folder of its user's own there.
  std::string in_the_way;
  if (std::optional<std::string> own =
          files_.OwnTemporaryFolder(temporary_folder_, &in_the_way)) {
    temporary_folder_ = std::move(*own);
  }
  run_path_ = environment_.RunFolder();
  // Spelt as the I/O log has always spelt it.
  Report("Innitialized databank access with tempdir [" + temporary_folder_ +
         "], runpath [" + run_path_ + "] and wait file []");
  Report("   ");
}

std::string Data::ResolveDatabankPath(std::string_view name) {
  if (temporary_folder_.empty()) OpenDatabankAccess();
  std::string path;
  if (!run_path_.empty() && name.find(':') == std::string_view::npos) {
    path = run_path_ + "\\";
  }
  path.append(name);
  if (!path.empty() && path.front() == '\\') path = temporary_folder_ + path;
  return path;
}

void Data::LogDatabankIO(std::string_view message) {
  io_log_.SetPath(InFolder(environment_.RunFolder(), kIoLogName));
  io_log_.Append(message);
}

void Data::Report(std::string_view message) {
  if (logging_) LogDatabankIO(message);
}

}  // namespace trovane
