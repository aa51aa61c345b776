#include "trovane-cmd/read_ahead.h"

#include <algorithm>

namespace trovane {
namespace {

// A buffer larger than this held a huge folder and is not kept.
constexpr size_t kLargestSpare = size_t{1} << 20;

}  // namespace

void ReadAhead::Start(WalkNode* root) {
  std::lock_guard<std::mutex> lock(mutex_);
  unread_.push(root);
  WakeReaders(1);
}

bool ReadAhead::MayTake() const {
  return !unread_.empty() && !held_back_ &&
         RoomAhead(folders_ahead_, bytes_ahead_);
}

WalkNode* ReadAhead::TakeFirst() {
  WalkNode* node = unread_.top();
  unread_.pop();
  ++ahead_;
  if (!spare_lines_.empty()) {
    node->lines = std::move(spare_lines_.back());
    spare_lines_.pop_back();
  }
  return node;
}

void ReadAhead::WakeReaders(size_t count) {
  if (idle_readers_ == 0) return;
  if (count >= idle_readers_) {
    work_.notify_all();
    return;
  }
  for (size_t i = 0; i < count; ++i) work_.notify_one();
}

WalkNode* ReadAhead::Take() {
  std::unique_lock<std::mutex> lock(mutex_);
  while (!stopped_ && !MayTake()) {
    if (!unread_.empty() && !RoomAhead(folders_ahead_, bytes_ahead_)) {
      held_back_ = true;
    }
    ++idle_readers_;
    work_.wait(lock);
    --idle_readers_;
  }
  if (stopped_) return nullptr;
  WalkNode* node = TakeFirst();
  // One wake-up may have made room for several readers: each passes it on.
  if (MayTake()) WakeReaders(1);
  return node;
}

void ReadAhead::Finished(WalkNode* node) {
  std::lock_guard<std::mutex> lock(mutex_);
  node->read = true;
  ahead_bytes_ += node->lines.size() + node->record.size();
  for (const std::unique_ptr<WalkNode>& subfolder : node->subfolders) {
    unread_.push(subfolder.get());
  }
  if (node == wanted_) read_.notify_one();
  WakeReaders(node->subfolders.size());
}

bool ReadAhead::TakeOrWait(WalkNode* node) {
  std::unique_lock<std::mutex> lock(mutex_);
  if (node->read) return false;
  if (!unread_.empty() && unread_.top() == node) {
    TakeFirst();
    return true;
  }
  wanted_ = node;
  read_.wait(lock, [node] { return node->read; });
  wanted_ = nullptr;
  return false;
}

void ReadAhead::Written(WalkNode* node) {
  std::lock_guard<std::mutex> lock(mutex_);
  --ahead_;
  ahead_bytes_ -= node->lines.size() + node->record.size();
  node->record = std::string();
  if (node->lines.capacity() <= kLargestSpare &&
      spare_lines_.size() < folders_ahead_) {
    node->lines.clear();
    spare_lines_.push_back(std::move(node->lines));
  }
  node->lines = std::string();
  if (held_back_ && RoomAhead(folders_ahead_ - folders_ahead_ / 4,
                              bytes_ahead_ - bytes_ahead_ / 4)) {
    held_back_ = false;
    WakeReaders(idle_readers_);
  }
}

void ReadAhead::Stop() {
  std::lock_guard<std::mutex> lock(mutex_);
  stopped_ = true;
  work_.notify_all();
}

}  // namespace trovane
