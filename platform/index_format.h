// The layout of a listing's index, the file that lets the next listing of
// the same folder take the entries of unchanged folders from it instead of
// the disk. The index never leaves the machine that wrote it, so numbers
// are in the machine's own byte order.
//
//   header   magic "TRVINDEX", version (u32), start folder's size (u32),
//            the listing's start (i64, ns), the key of the shown paths'
//            sums (u64), the start folder, checksum (u64)
//   records  one for each folder read, in listing order: checksum (u64) of
//            the body that follows; body: volume, id, changed, modified
//            (u64 each), names passed over (u32), entries (u32), then for
//            each entry its name's size (u16), whether it is a folder to
//            enter (u8) and the name
//   table    a slot for each record, in the order of (volume, id): volume,
//            id, the record's offset and size, and where the folder's
//            lines lay in the disk map: their offset, their size and the
//            sum of the path they were shown under (u64 each)
//   footer   the table's offset, its slot count, the checksum of the table
//            and of the disk map's version that follows: device, inode,
//            size, modified and changed (u64 each; all 0 for none), magic
//            "TRVINEND"
//
// A file cut short ends in no footer, and one written by another version
// or program starts with another header: both are refused whole. A record
// spoilt in between fails its checksum, and its folder is read again.
#ifndef TROVANE_PLATFORM_INDEX_FORMAT_H_
#define TROVANE_PLATFORM_INDEX_FORMAT_H_

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_version.h"
#include "platform/folder_stamp.h"

namespace trovane {

inline constexpr uint32_t kIndexVersion = 2;

// A checksum to tell spoilt bytes, not to withstand a forger: the file is
// the user's own.
uint64_t IndexChecksum(std::string_view bytes);

struct IndexHeader {
  std::string start_folder;
  int64_t started_ns = 0;
  // Keys the sums of the paths the lines were shown under, so that no one
  // who cannot read the index can choose names whose paths sum alike.
  uint64_t shown_key = 0;
};
std::string EncodeIndexHeader(const IndexHeader& header);
// The header at the start of `bytes`, and its size in `*size`; nothing
// when `bytes` does not start with a whole header of this version.
std::optional<IndexHeader> DecodeIndexHeader(std::string_view bytes,
                                             size_t* size);
// The most bytes a header may take, for a reader that reads it at once.
size_t MostIndexHeaderSize(std::string_view start_folder);

// Appends to `*out` the record of a folder whose stamp is `stamp`, whose
// listing left `passed_over` names out and holds `entries` entries, which
// Add() then appends one by one, in listing order; Seal() ends it.
class IndexRecordWriter {
 public:
  IndexRecordWriter(const FolderStamp& stamp, size_t passed_over,
                    size_t entries, std::string* out);
  void Add(std::string_view name, bool is_folder);
  // Puts the checksum of the whole record in its place.
  void Seal();

 private:
  std::string* const out_;
  const size_t start_;
};
// The stamp of a whole record, read from its body alone; nothing when the
// record is too short to hold one.
std::optional<FolderStamp> RecordStamp(std::string_view record);

// Whether two records, each checked whole, hold the same entries, whatever
// their stamps say.
bool SameEntries(std::string_view record, std::string_view other);

// The entries of a whole record, in listing order, as they lie in it. The
// record is checked before any entry is looked at: its checksum, and that
// every entry lies inside it.
class IndexEntries {
 public:
  // An entry's name size (two bytes) and whether it is a folder (one).
  static constexpr size_t kEntryFixedSize = 2 + 1;

  // Nothing when the record is spoilt. The entries are a view of `record`.
  static std::optional<IndexEntries> Of(std::string_view record);

  // The names the folder's listing left out, as its record counts them.
  size_t passed_over() const { return passed_over_; }
  // Whether any entry is a folder to enter.
  bool holds_folders() const { return holds_folders_; }

  // Calls `visit(name, is_folder)` for every entry, in listing order.
  template <typename Visit>
  void ForEach(Visit visit) const {
    for (size_t at = 0; at < entries_.size();) {
      uint16_t name_size = 0;
      std::memcpy(&name_size, entries_.data() + at, sizeof name_size);
      visit(entries_.substr(at + kEntryFixedSize, name_size),
            entries_[at + 2] != 0);
      at += kEntryFixedSize + name_size;
    }
  }

 private:
  IndexEntries(std::string_view entries, size_t passed_over, bool holds_folders)
      : entries_(entries),
        passed_over_(passed_over),
        holds_folders_(holds_folders) {}

  std::string_view entries_;
  size_t passed_over_;
  bool holds_folders_;
};

// Where a folder's lines lay in the disk map its listing wrote: `size`
// bytes from `offset`, under the path whose sum (ShownSum) is `shown_sum`.
struct MapPlacement {
  uint64_t offset = 0;
  uint64_t size = 0;
  uint64_t shown_sum = 0;
  bool operator==(const MapPlacement&) const = default;
};

// The sum of the path `shown` a folder's lines start with and of the
// filter `filter_key` that chose them, under the index's key.
uint64_t ShownSum(uint64_t key, std::string_view filter_key,
                  std::string_view shown);

struct IndexSlot {
  uint64_t volume = 0;
  uint64_t id = 0;
  uint64_t offset = 0;
  uint64_t size = 0;
  MapPlacement lines;
};
inline constexpr size_t kIndexSlotSize = 7 * sizeof(uint64_t);
inline constexpr size_t kIndexFooterSize = 9 * sizeof(uint64_t);

// The table and the footer, to follow the last record at `table_offset`;
// `table` holds the slots in the order of (volume, id), each folder once.
// `map` is the version of the disk map the placements tell of, when it
// was seen whole and old enough that no later change can keep it.
std::string EncodeIndexTable(const std::vector<IndexSlot>& table,
                             uint64_t table_offset,
                             const std::optional<FileVersion>& map);

struct IndexFooter {
  uint64_t table_offset = 0;
  uint64_t slot_count = 0;
  uint64_t checksum = 0;
  std::optional<FileVersion> map;
};
// The footer of an index of `file_size` bytes, from its last bytes; nothing
// when they are no footer or do not fit the file's size.
std::optional<IndexFooter> DecodeIndexFooter(std::string_view bytes,
                                             uint64_t file_size);
// The table's slots; nothing when the bytes and the footer's disk map fail
// the footer's checksum, a slot lies outside the records or the slots are
// out of order.
std::optional<std::vector<IndexSlot>> DecodeIndexTable(
    std::string_view bytes, const IndexFooter& footer, size_t records_start);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_INDEX_FORMAT_H_
