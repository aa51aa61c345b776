#include "shell/scan_batch.h"

namespace trovane {

namespace {

// "1:05".
std::string ClockText(std::chrono::seconds duration) {
  const int64_t seconds = duration.count();
  std::string clock = std::to_string(seconds / 60) + ":";
  if (seconds % 60 < 10) clock += "0";
  clock += std::to_string(seconds % 60);
  return clock;
}

}  // namespace

std::string ProgressText(const ScanProgress& progress) {
  const std::string plain = std::to_string(progress.paths);
  std::string digits;
  for (size_t i = 0; i < plain.size(); ++i) {
    if (i > 0 && (plain.size() - i) % 3 == 0) digits.push_back(',');
    digits.push_back(plain[i]);
  }
  std::string text = digits + (progress.paths == 1 ? " path" : " paths") +
                     " listed in " + ClockText(progress.elapsed);
  if (progress.behind_earlier_batch && progress.paths == 0) {
    text += "; waiting for an earlier run's scan batch";
  } else if (progress.unmoved >= kUnmovedTold) {
    text += "; the listing has not moved for " + ClockText(progress.unmoved);
  }
  return text;
}

ScanBatch::ScanBatch(std::unique_ptr<StartedProcess> process,
                     std::unique_ptr<FolderWatch> watch,
                     bool behind_earlier_batch)
    : process_(std::move(process)),
      watch_(std::move(watch)),
      started_(std::chrono::steady_clock::now()),
      behind_earlier_batch_(behind_earlier_batch),
      last_moved_(started_) {}

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

ScanProgress ScanBatch::Progress() {
  const auto now = std::chrono::steady_clock::now();
  const uint64_t paths = process_->ListedPaths();
  if (paths != last_paths_) {
    last_paths_ = paths;
    last_moved_ = now;
  }
  const auto seconds = [](std::chrono::steady_clock::duration duration) {
    return std::chrono::duration_cast<std::chrono::seconds>(duration);
  };
  return {paths, seconds(now - started_), seconds(now - last_moved_),
          behind_earlier_batch_};
}

}  // namespace trovane
