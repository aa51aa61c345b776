#include "trovane-cmd/index_recorder.h"

#include <algorithm>
#include <tuple>
#include <utility>

namespace trovane {

IndexRecorder::IndexRecorder(std::unique_ptr<IndexSink> sink,
                             const std::string& start_folder,
                             int64_t started_ns)
    : sink_(std::move(sink)) {
  buffer_.reserve(kBufferSize);
  Put(EncodeIndexHeader({start_folder, started_ns}));
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

void IndexRecorder::Add(const FolderStamp& stamp, std::string_view record) {
  slots_.push_back({stamp.volume, stamp.id, written_, record.size()});
  Put(record);
}

bool IndexRecorder::Commit() {
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
