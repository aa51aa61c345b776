#include "trovane-cmd/index_recorder.h"

#include <algorithm>
#include <optional>
#include <string>
#include <tuple>
#include <utility>

namespace trovane {

IndexRecorder::IndexRecorder(SinkMaker make_sink, const PastIndex* past,
                             IndexHeader header)
    : make_sink_(std::move(make_sink)),
      past_(past),
      header_(std::move(header)) {}

void IndexRecorder::StartWriting() {
  sink_ = make_sink_();
  if (sink_ == nullptr) {
    failed_ = true;
    return;
  }
  buffer_.reserve(kBufferSize);
  Put(EncodeIndexHeader(header_));
  // The records taken so far: those held, and those of the last index,
  // read from it again.
  std::string record;
  for (size_t i = 0; i < slots_.size(); ++i) {
    IndexSlot& slot = slots_[i];
    if (const auto held = held_.find(i); held != held_.end()) {
      record = std::move(held->second);
    } else if (!past_->RecordOf(slot.volume, slot.id, &record)) {
      failed_ = true;
      return;
    }
    slot.offset = written_;
    slot.size = record.size();
    Put(record);
  }
  held_.clear();
}

bool IndexRecorder::OnlyTimesMoved(const FolderStamp& stamp,
                                   std::string_view record) const {
  std::string past_record;
  if (!past_->RecordOf(stamp.volume, stamp.id, &past_record)) return false;
  const std::optional<FolderStamp> past_stamp = RecordStamp(past_record);
  return past_stamp &&
         (past_stamp->changed_ns != stamp.changed_ns ||
          past_stamp->modified_ns != stamp.modified_ns) &&
         SameEntries(past_record, record);
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
                        bool from_past, const MapPlacement& lines) {
  if (failed_) return;
  if (sink_ == nullptr && from_past && past_ != nullptr) {
    slots_.push_back({stamp.volume, stamp.id, 0, 0, lines});
    return;
  }
  // A folder whose times moved while its names stayed (a file made and
  // removed in it, as every run does in its temporary folder) is no change
  // that needs a new index: its new record is held, and written only if
  // something else changes. Until then the last index keeps the old one,
  // whose stamp no longer matches, so the next listing reads it again.
  if (sink_ == nullptr && past_ != nullptr &&
      held_bytes_ + record.size() <= kBufferSize &&
      OnlyTimesMoved(stamp, record)) {
    held_.emplace(slots_.size(), std::string(record));
    held_bytes_ += record.size();
    slots_.push_back({stamp.volume, stamp.id, 0, 0, lines});
    return;
  }
  if (sink_ == nullptr) StartWriting();
  if (failed_) return;
  slots_.push_back({stamp.volume, stamp.id, written_, record.size(), lines});
  Put(record);
}

bool IndexRecorder::Commit(const std::optional<FileVersion>& map) {
  // The last index stays while it tells of the map as well as this one
  // would: when it vouches for the same version, or this one could not.
  if (sink_ == nullptr && !failed_ && past_ != nullptr &&
      (!map || past_->map() == map)) {
    return true;
  }
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
  Put(EncodeIndexTable(slots_, written_, map));
  const bool written = sink_->Write(buffer_);
  buffer_.clear();
  return written && sink_->Commit();
}

}  // namespace trovane
