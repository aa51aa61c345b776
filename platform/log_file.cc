#include "platform/log_file.h"

#include "platform/time_text.h"

namespace trovane {
namespace {

constexpr double kLongestKept = 0.1;  // seconds

}  // namespace

void LogFile::SetPath(std::string path) {
  if (path == path_) return;
  path_ = std::move(path);
  Reopen();
}

void LogFile::Append(std::string_view message) {
  const double now = clock_.MonotonicSeconds();
  if (file_ && !(now - opened_at_ < kLongestKept)) Reopen();
  if (!file_) {
    file_ = files_.OpenWritable(path_, WriteMode::kAppend, {.numbered = false});
    opened_at_ = now;
  }
  if (!file_) return;
  std::string line = LogLineText(clock_.Now(), message);
  line += "\r\n";
  // A line that cannot be written is lost; the next one tries a new open.
  if (!file_->Write(line)) Reopen();
}

}  // namespace trovane
