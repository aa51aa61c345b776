// The lines of a listing on their way to the disk map. A whole-disk listing
// runs to millions of lines, so they are gathered in a large buffer and
// written in big chunks straight to the descriptor.
#ifndef TROVANE_TROVANE_CMD_LISTING_WRITER_H_
#define TROVANE_TROVANE_CMD_LISTING_WRITER_H_

#include <cstdint>
#include <cstring>
#include <string_view>
#include <vector>

#include "platform/listing_count.h"

namespace trovane {

class ListingWriter {
 public:
  static constexpr size_t kDefaultChunkSize = 1 << 20;

  // Writes to `fd`, which stays owned by the caller, in chunks of
  // `chunk_size` bytes (a longer line makes its chunk longer).
  explicit ListingWriter(int fd, size_t chunk_size = kDefaultChunkSize);
  ListingWriter(const ListingWriter&) = delete;
  ListingWriter& operator=(const ListingWriter&) = delete;
  ~ListingWriter();

  // Publishes the lines written, on top of `already_listed`, to `count`
  // now and then, for the program that waits on the batch to show.
  void ReportTo(ListingCount* count, uint64_t already_listed) {
    count_ = count;
    already_listed_ = already_listed;
  }

  // Appends the line `folder` "\" `name` CR LF.
  void WriteLine(std::string_view folder, std::string_view name) {
    const size_t size = folder.size() + name.size() + 3;
    if (buffer_.size() - used_ < size) {
      MakeRoom(size);
    }
    char* out = buffer_.data() + used_;
    std::memcpy(out, folder.data(), folder.size());
    out += folder.size();
    *out++ = '\\';
    std::memcpy(out, name.data(), name.size());
    out += name.size();
    *out++ = '\r';
    *out++ = '\n';
    used_ += size;
    ++lines_;
    if (count_ != nullptr && lines_ % kLinesPerReport == 0) {
      count_->Publish(already_listed_ + lines_);
    }
  }

  // Writes out what is buffered; true when every byte so far reached the
  // descriptor.
  bool Flush();

  uint64_t lines() const { return lines_; }

 private:
  // Writes out the buffer and makes sure a line of `size` bytes fits.
  void MakeRoom(size_t size);

  static constexpr uint64_t kLinesPerReport = 1024;

  const int fd_;
  ListingCount* count_ = nullptr;
  uint64_t already_listed_ = 0;
  std::vector<char> buffer_;
  size_t used_ = 0;
  uint64_t lines_ = 0;
  bool ok_ = true;
};

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_LISTING_WRITER_H_
