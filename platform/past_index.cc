#include "platform/past_index.h"

#include <algorithm>
#include <optional>
#include <tuple>
#include <utility>

namespace trovane {
namespace {

// A record larger than this is not read: no folder's entries come near it,
// so the size is spoilt.
constexpr uint64_t kLargestRecord = uint64_t{1} << 30;
// Linux's PATH_MAX, and more than any drive path names.
constexpr size_t kLongestStartFolder = 4096;

std::optional<std::string> ReadBytes(const IndexSource& source, uint64_t offset,
                                     uint64_t size) {
  std::string bytes(size, '\0');
  if (!source.ReadAt(offset, bytes)) return std::nullopt;
  return bytes;
}

}  // namespace

std::unique_ptr<PastIndex> PastIndex::Open(std::unique_ptr<IndexSource> source,
                                           const std::string& start_folder) {
  return OpenOf(std::move(source), &start_folder);
}

std::unique_ptr<PastIndex> PastIndex::OpenOfAnyFolder(
    std::unique_ptr<IndexSource> source) {
  return OpenOf(std::move(source), nullptr);
}

std::unique_ptr<PastIndex> PastIndex::OpenOf(
    std::unique_ptr<IndexSource> source, const std::string* start_folder) {
  if (source == nullptr) return nullptr;
  const uint64_t size = source->size();
  if (size < kIndexFooterSize) return nullptr;
  // A header is read at once: as much as that of the folder asked for
  // takes, or for any folder that of the longest folder a path can name.
  const size_t most_header = std::min<uint64_t>(
      start_folder ? MostIndexHeaderSize(*start_folder)
                   : MostIndexHeaderSize({}) + kLongestStartFolder,
      size - kIndexFooterSize);
  const std::optional<std::string> head = ReadBytes(*source, 0, most_header);
  size_t header_size = 0;
  const std::optional<IndexHeader> header =
      head ? DecodeIndexHeader(*head, &header_size) : std::nullopt;
  if (!header || (start_folder && header->start_folder != *start_folder)) {
    return nullptr;
  }
  const std::optional<std::string> tail =
      ReadBytes(*source, size - kIndexFooterSize, kIndexFooterSize);
  const std::optional<IndexFooter> footer =
      tail ? DecodeIndexFooter(*tail, size) : std::nullopt;
  if (!footer) return nullptr;
  const std::optional<std::string> table = ReadBytes(
      *source, footer->table_offset, footer->slot_count * kIndexSlotSize);
  std::optional<std::vector<IndexSlot>> slots =
      table ? DecodeIndexTable(*table, *footer, header_size) : std::nullopt;
  if (!slots) return nullptr;
  return std::unique_ptr<PastIndex>(new PastIndex(
      std::move(source), *header, footer->map, std::move(*slots)));
}

std::optional<IndexEntries> PastIndex::Recall(const FolderStamp& stamp,
                                              std::string* record,
                                              MapPlacement* lines) const {
  if (!stamp.stands_for_entries ||
      stamp.changed_ns > started_ns_ - kClockGrainNs ||
      stamp.modified_ns > started_ns_ - kClockGrainNs) {
    return std::nullopt;
  }
  const IndexSlot* slot = SlotOf(stamp.volume, stamp.id);
  if (slot == nullptr || !ReadRecord(*slot, record)) return std::nullopt;
  const std::optional<FolderStamp> recorded = RecordStamp(*record);
  if (!recorded || recorded->volume != stamp.volume ||
      recorded->id != stamp.id || recorded->changed_ns != stamp.changed_ns ||
      recorded->modified_ns != stamp.modified_ns) {
    return std::nullopt;
  }
  std::optional<IndexEntries> entries = IndexEntries::Of(*record);
  if (entries && lines != nullptr) *lines = slot->lines;
  return entries;
}

bool PastIndex::RecordOf(uint64_t volume, uint64_t id,
                         std::string* record) const {
  const IndexSlot* slot = SlotOf(volume, id);
  return slot != nullptr && ReadRecord(*slot, record);
}

bool PastIndex::ReadRecord(const IndexSlot& slot, std::string* record) const {
  if (slot.size > kLargestRecord) return false;
  record->resize(slot.size);
  return source_->ReadAt(slot.offset, *record);
}

const IndexSlot* PastIndex::SlotOf(uint64_t volume, uint64_t id) const {
  const auto slot =
      std::lower_bound(slots_.begin(), slots_.end(), std::tie(volume, id),
                       [](const IndexSlot& held,
                          const std::tuple<uint64_t&, uint64_t&>& wanted) {
                         return std::tie(held.volume, held.id) < wanted;
                       });
  if (slot == slots_.end() || slot->volume != volume || slot->id != id) {
    return nullptr;
  }
  return &*slot;
}

}  // namespace trovane
