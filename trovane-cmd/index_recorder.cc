#include "trovane-cmd/index_recorder.h"

#include <algorithm>
#include <tuple>
#include <utility>

namespace trovane {

IndexRecorder::IndexRecorder(SinkMaker make_sink, const PastIndex* past,
                             std::string start_folder, int64_t started_ns)
    : make_sink_(std::move(make_sink)),
      past_(past),
      start_folder_(std::move(start_folder)),
      started_ns_(started_ns) {}

void IndexRecorder::StartWriting() {
  sink_ = make_sink_();
  if (sink_ == nullptr) {
    failed_ = true;
    return;
  }
  buffer_.reserve(kBufferSize);
  Put(EncodeIndexHeader({start_folder_, started_ns_}));
  // The records taken from the last index so far, read from it again.
  std::string record;
  for (IndexSlot& slot : slots_) {
    if (!past_->RecordOf(slot.volume, slot.id, &record)) {
      failed_ = true;
      return;
    }
    slot.offset = written_;
    slot.size = record.size();
    Put(record);
  }
}

void IndexRecorder::Put(std::string_view bytes) {
  if (buffer_.size() + bytes.size() > kBufferSize) {
    sink_->Write(buffer_);
    buffer_.clear();
  }
  if (bytes.size() > kBufferSize) {
    sink_->Write(bytes);
  } else {
    buffer_.append(bytes);
  }
  written_ += bytes.size();
}

void IndexRecorder::Add(const FolderStamp& stamp, std::string_view record,
                        bool from_past) {
  if (failed_) return;
  if (sink_ == nullptr && from_past && past_ != nullptr) {
    slots_.push_back({stamp.volume, stamp.id, 0, 0});
    return;
  }
  if (sink_ == nullptr) StartWriting();
  if (failed_) return;
  slots_.push_back({stamp.volume, stamp.id, written_, record.size()});
  Put(record);
}

bool IndexRecorder::Commit() {
  if (sink_ == nullptr && !failed_ && past_ != nullptr) return true;
  if (sink_ == nullptr && !failed_) StartWriting();
  if (failed_) return false;
  const auto key = [](const IndexSlot& slot) {
    return std::tie(slot.volume, slot.id);
  };
  // A folder met twice (mounted twice below the start) keeps its first
  // record: both hold the same entries.
  std::stable_sort(slots_.begin(), slots_.end(),
                   [&key](const IndexSlot& a, const IndexSlot& b) {
                     return key(a) < key(b);
                   });
  slots_.erase(std::unique(slots_.begin(), slots_.end(),
                           [&key](const IndexSlot& a, const IndexSlot& b) {
                             return key(a) == key(b);
                           }),
               slots_.end());
  Put(EncodeIndexTable(slots_, written_));
  const bool written = sink_->Write(buffer_);
  buffer_.clear();
  return written && sink_->Commit();
}

}  // namespace trovane
