// The index a listing writes for the next listing of the same folder: the
// record of every folder it read, from the disk or from the last index,
// streamed to the file as the listing's lines are written, and the table
// of folders at the end. Memory holds a write buffer and the table (32
// bytes a folder), never the entries of the whole tree.
#ifndef TROVANE_TROVANE_CMD_INDEX_RECORDER_H_
#define TROVANE_TROVANE_CMD_INDEX_RECORDER_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "trovane-cmd/folder_reader.h"
#include "trovane-cmd/index_files.h"
#include "trovane-cmd/index_format.h"

namespace trovane {

class IndexRecorder {
 public:
  // Writes to `sink` the index of a listing of `start_folder` that started
  // at `started_ns`.
  IndexRecorder(std::unique_ptr<IndexSink> sink,
                const std::string& start_folder, int64_t started_ns);

  // Adds the record of the folder `stamp` stands for (AppendIndexRecord),
  // from one thread, in listing order.
  void Add(const FolderStamp& stamp, std::string_view record);

  // Ends the index and puts it in the last one's place: only once the
  // listing ended well. False when it could not be written whole.
  bool Commit();

 private:
  static constexpr size_t kBufferSize = size_t{1} << 20;

  void Put(std::string_view bytes);

  std::unique_ptr<IndexSink> sink_;
  std::string buffer_;
  uint64_t written_ = 0;  // bytes of the file so far, the buffer's included
  std::vector<IndexSlot> slots_;
};

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_INDEX_RECORDER_H_
