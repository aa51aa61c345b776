// The index the last listing of a folder left: which folders it read, with
// their stamps and entries. A folder whose stamp has not moved since, by a
// margin that rules out a change within the same tick of the clock, takes
// its entries from here instead of the disk.
//
// Only the table of folders is held (32 bytes a folder); each folder's
// entries are read from the file when they are wanted.
#ifndef TROVANE_PLATFORM_PAST_INDEX_H_
#define TROVANE_PLATFORM_PAST_INDEX_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/folder_stamp.h"
#include "platform/index_files.h"
#include "platform/index_format.h"

namespace trovane {

class PastIndex {
 public:
  // Times closer than this to the start of the listing that wrote the
  // index may hide a change made in the same tick: such a folder is read
  // again.
  static constexpr int64_t kClockGrainNs = 2'000'000'000;

  // The index in `source` when it is whole, of this version and written by
  // a listing of `start_folder`; null otherwise.
  static std::unique_ptr<PastIndex> Open(std::unique_ptr<IndexSource> source,
                                         const std::string& start_folder);
  // The same, whatever folder the listing started from: for the look-ups
  // of names in the folders it read.
  static std::unique_ptr<PastIndex> OpenOfAnyFolder(
      std::unique_ptr<IndexSource> source);

  // The whole record of the folder `stamp` stands for in `*record`, and
  // its entries (a view of it), when the index holds the folder as it
  // still is; nothing otherwise. With `lines`, also where the folder's
  // lines lay in the disk map. Called by many threads at once.
  std::optional<IndexEntries> Recall(const FolderStamp& stamp,
                                     std::string* record,
                                     MapPlacement* lines = nullptr) const;

  // The bytes of the record of the folder (`volume`, `id`), whatever its
  // state; false when the index holds none or it cannot be read.
  bool RecordOf(uint64_t volume, uint64_t id, std::string* record) const;

  // The version of the disk map whose bytes the placements tell of, when
  // the listing that wrote the index could vouch for it.
  const std::optional<FileVersion>& map() const { return map_; }
  uint64_t shown_key() const { return shown_key_; }

 private:
  // `start_folder` null for any.
  static std::unique_ptr<PastIndex> OpenOf(std::unique_ptr<IndexSource> source,
                                           const std::string* start_folder);

  PastIndex(std::unique_ptr<IndexSource> source, const IndexHeader& header,
            std::optional<FileVersion> map, std::vector<IndexSlot> table)
      : source_(std::move(source)),
        started_ns_(header.started_ns),
        shown_key_(header.shown_key),
        map_(map),
        slots_(std::move(table)) {}

  // The slot of the folder (`volume`, `id`); null when there is none.
  const IndexSlot* SlotOf(uint64_t volume, uint64_t id) const;
  bool ReadRecord(const IndexSlot& slot, std::string* record) const;

  const std::unique_ptr<IndexSource> source_;
  const int64_t started_ns_;
  const uint64_t shown_key_;
  const std::optional<FileVersion> map_;
  const std::vector<IndexSlot> slots_;  // by (volume, id)
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_PAST_INDEX_H_
