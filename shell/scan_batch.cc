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
                     std::unique_ptr<FolderWatch> watch)
    : process_(std::move(process)),
      watch_(std::move(watch)),
      started_(std::chrono::steady_clock::now()) {}

std::vector<Waitable> ScanBatch::Wakers() const {
  if (!watch_) return {};
  std::vector<Waitable> wakers = {watch_->Waker()};
  if (process_->EndWaker().valid()) wakers.push_back(process_->EndWaker());
  return wakers;
}

bool ScanBatch::TakeInEnded() {
  if (watch_) watch_->Drain();
  return process_->Ended();
}

ScanProgress ScanBatch::Progress() const {
  return {process_->ListedPaths(),
          std::chrono::duration_cast<std::chrono::seconds>(
              std::chrono::steady_clock::now() - started_)};
}

}  // namespace trovane
