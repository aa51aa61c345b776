#include "trovane-cmd/listing_emitter.h"

namespace trovane {

ListingEmitter::ListingEmitter(const NameFilter& filter, ListingWriter* out)
    : filter_(filter), out_(out) {
  for (FolderBatch& batch : batches_) {
    free_.push_back(&batch);
  }
  thread_ = std::thread(&ListingEmitter::EmitBatches, this);
}

ListingEmitter::~ListingEmitter() { Finish(); }

FolderBatch* ListingEmitter::Filling() {
  if (filling_ == nullptr) {
    std::unique_lock<std::mutex> lock(mutex_);
    while (free_.empty()) {
      walk_waiting_ = true;
      space_.wait(lock);
      walk_waiting_ = false;
    }
    filling_ = free_.back();
    free_.pop_back();
  }
  return filling_;
}

void ListingEmitter::AddFolder(std::string_view shown_folder) {
  FolderBatch* batch = Filling();
  batch->shown_folders.append(shown_folder);
  batch->folders.push_back(
      {batch->listing.entries().size(), batch->shown_folders.size()});
  if (batch->listing.bytes() >= kBatchBytes) {
    Submit(batch);
    filling_ = nullptr;
  }
}

void ListingEmitter::Submit(FolderBatch* batch) {
  std::lock_guard<std::mutex> lock(mutex_);
  submitted_.push_back(batch);
  if (emitter_waiting_) {
    work_.notify_one();
  }
}

void ListingEmitter::Finish() {
  if (!thread_.joinable()) {
    return;
  }
  if (filling_ != nullptr) {
    Submit(filling_);
    filling_ = nullptr;
  }
  {
    std::lock_guard<std::mutex> lock(mutex_);
    finishing_ = true;
    work_.notify_one();
  }
  thread_.join();
}

void ListingEmitter::EmitBatches() {
  std::vector<FolderBatch*> emitting;
  std::unique_lock<std::mutex> lock(mutex_);
  for (;;) {
    if (submitted_.empty()) {
      if (finishing_) {
        return;
      }
      emitter_waiting_ = true;
      work_.wait(lock);
      emitter_waiting_ = false;
      continue;
    }
    emitting.swap(submitted_);
    lock.unlock();
    for (FolderBatch* batch : emitting) {
      Emit(batch);
    }
    lock.lock();
    free_.insert(free_.end(), emitting.begin(), emitting.end());
    emitting.clear();
    if (walk_waiting_) {
      space_.notify_one();
    }
  }
}

void ListingEmitter::Emit(FolderBatch* batch) {
  FolderListing& listing = batch->listing;
  const std::string_view shown_folders = batch->shown_folders;
  size_t first = 0;
  size_t shown_start = 0;
  for (const FolderBatch::Folder& folder : batch->folders) {
    listing.Sort(first, folder.entries_end);
    const std::string_view shown =
        shown_folders.substr(shown_start, folder.shown_end - shown_start);
    for (const FolderListing::Entry& entry :
         listing.entries().subspan(first, folder.entries_end - first)) {
      const std::string_view name = listing.Name(entry);
      if (filter_.MatchesAll() || filter_.Matches(name)) {
        out_->WriteLine(shown, name);
      }
    }
    first = folder.entries_end;
    shown_start = folder.shown_end;
  }
  listing.Clear();
  listing.TrimMemory();
  batch->shown_folders.clear();
  batch->folders.clear();
}

}  // namespace trovane
