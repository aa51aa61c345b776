// The index a listing writes for the next listing of the same folder: the
// record of every folder it read, from the disk or from the last index,
// streamed to the file as the listing's lines are written, and the table
// of folders at the end. Memory holds a write buffer and the table (32
// bytes a folder), never the entries of the whole tree.
//
// As long as every folder so far came from the last index, or was read
// again only to find the names the last index holds for it, nothing is
// written: a listing that found no name changed keeps the last index as it
// is, which still holds every folder's names as they stand. The first
// folder read from the disk with other names starts the new index with the
// records taken so far. So does a disk map that this index can vouch for
// and the last one does not: a map is vouched for only as the listing
// that wrote the index left it, so the last index's placements still tell
// of the map it vouches for, wherever this listing's lines came.
#ifndef TROVANE_TROVANE_CMD_INDEX_RECORDER_H_
#define TROVANE_TROVANE_CMD_INDEX_RECORDER_H_

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/index_files.h"
#include "platform/index_format.h"
#include "platform/past_index.h"
#include "trovane-cmd/folder_reader.h"

namespace trovane {

class IndexRecorder {
 public:
  using SinkMaker = std::function<std::unique_ptr<IndexSink>()>;

  // Writes, to a sink `make_sink` makes once there is something new, the
  // index of the listing `header` tells of: its start folder, its start,
  // and the key of its placements' sums. `past`, when given, is the last
  // listing's index, which must outlive the recorder.
  IndexRecorder(SinkMaker make_sink, const PastIndex* past, IndexHeader header);

  // Adds the record of the folder `stamp` stands for (IndexRecordWriter),
  // from one thread, in listing order, and where its lines came in the
  // disk map; `from_past` when it was taken from the last index.
  void Add(const FolderStamp& stamp, std::string_view record, bool from_past,
           const MapPlacement& lines);

  // Ends the index and puts it in the last one's place, or keeps the last
  // one when nothing changed: only once the listing ended well. `map` is
  // the disk map's version, when it can be vouched for: it holds the
  // listing's lines and no later change can keep that version. False when
  // the index could not be written whole.
  bool Commit(const std::optional<FileVersion>& map);

 private:
  static constexpr size_t kBufferSize = size_t{1} << 20;

  // Makes the sink and writes the header and the records taken so far.
  void StartWriting();
  // True when the last index holds the folder `stamp` stands for with the
  // entries of `record` under other times.
  bool OnlyTimesMoved(const FolderStamp& stamp, std::string_view record) const;
  void Put(std::string_view bytes);

  SinkMaker make_sink_;
  const PastIndex* const past_;
  const IndexHeader header_;
  std::unique_ptr<IndexSink> sink_;
  bool failed_ = false;
  std::string buffer_;
  uint64_t written_ = 0;  // bytes of the file so far, the buffer's included
  std::vector<IndexSlot> slots_;
  // The new records of folders whose times alone moved, by their place in
  // `slots_`, while nothing is written; a few at most, and bounded.
  std::unordered_map<size_t, std::string> held_;
  size_t held_bytes_ = 0;
};

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_INDEX_RECORDER_H_
