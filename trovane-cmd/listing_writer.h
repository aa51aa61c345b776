// The lines of a listing on their way to the disk map. A whole-disk listing
// runs to millions of lines, so they are gathered in a large buffer and
// written in big chunks straight to the file or the standard output.
#ifndef TROVANE_TROVANE_CMD_LISTING_WRITER_H_
#define TROVANE_TROVANE_CMD_LISTING_WRITER_H_

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/console.h"
#include "platform/listing_count.h"
#include "platform/output_file.h"
#include "trovane-cmd/listing_sink.h"

namespace trovane {

class ListingWriter : public ListingSink {
 public:
  static constexpr size_t kDefaultChunkSize = 1 << 20;

  // Writes to `file`, which stays owned by the caller, in chunks of
  // `chunk_size` bytes (lines longer than that go out at once).
  explicit ListingWriter(WritableFile& file,
                         size_t chunk_size = kDefaultChunkSize);
  // The same to the console's standard output.
  explicit ListingWriter(Console& console,
                         size_t chunk_size = kDefaultChunkSize);
  ListingWriter(const ListingWriter&) = delete;
  ListingWriter& operator=(const ListingWriter&) = delete;
  ~ListingWriter() override;

  // Publishes the lines written, on top of `already_listed`, to `count`
  // now and then, for the program that waits on the batch to show.
  void ReportTo(ListingCount* count, uint64_t already_listed) {
    count_ = count;
    already_listed_ = already_listed;
  }

  bool Write(std::string_view lines, uint64_t count) override;
  bool PassOverSame(uint64_t size, uint64_t count) override;

  // Writes out what is buffered; true when every byte so far was written.
  bool Flush();

  uint64_t lines() const { return lines_; }
  // The bytes of those lines.
  uint64_t bytes() const { return bytes_; }

 private:
  static constexpr uint64_t kLinesPerReport = 1024;

  // Writes every byte of a chunk; false when not all of them were written.
  using ChunkWriter = std::function<bool(std::string_view)>;
  ListingWriter(ChunkWriter write_chunk, WritableFile* file, size_t chunk_size);
  // Counts `count` lines of `size` bytes as written, and publishes the
  // count now and then.
  void Count(uint64_t size, uint64_t count);

  const ChunkWriter write_chunk_;
  WritableFile* const file_;  // null for the standard output
  ListingCount* count_ = nullptr;
  uint64_t already_listed_ = 0;
  std::vector<char> buffer_;
  size_t used_ = 0;
  uint64_t lines_ = 0;
  uint64_t bytes_ = 0;
  bool ok_ = true;
};

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_LISTING_WRITER_H_
