#include "shell/scan_batch.h"

namespace trovane {

std::string ProgressText(const ScanProgress& progress) {
  const std::string plain = std::to_string(progress.paths);
  std::string digits;
  for (size_t i = 0; i < plain.size(); ++i) {
    if (i > 0 && (plain.size() - i) % 3 == 0) digits.push_back(',');
    digits.push_back(plain[i]);
  }
  const int64_t seconds = progress.elapsed.count();
  std::string clock = std::to_string(seconds / 60) + ":";
  if (seconds % 60 < 10) clock += "0";
  clock += std::to_string(seconds % 60);
  return digits + (progress.paths == 1 ? " path" : " paths") + " listed in " +
         clock;
}

ScanBatch::ScanBatch(std::unique_ptr<StartedProcess> process,
                     std::unique_ptr<FolderWatch> watch,
                     std::unique_ptr<ListingCount> count)
    : process_(std::move(process)),
      watch_(std::move(watch)),
      count_(std::move(count)),
      started_(std::chrono::steady_clock::now()) {}

std::vector<int> ScanBatch::WakeFds() const {
  if (!watch_) return {};
  std::vector<int> fds = {watch_->fd()};
  if (process_->EndFd() >= 0) fds.push_back(process_->EndFd());
  return fds;
}

bool ScanBatch::TakeInEnded() {
  if (watch_) watch_->Drain();
  return process_->Ended();
}

ScanProgress ScanBatch::Progress() const {
  return {count_ ? count_->Read() : 0,
          std::chrono::duration_cast<std::chrono::seconds>(
              std::chrono::steady_clock::now() - started_)};
}

}  // namespace trovane
