#include "trovane-cmd/listing_writer.h"

#include <cstring>
#include <utility>

namespace trovane {

ListingWriter::ListingWriter(WritableFile& file, size_t chunk_size)
    : ListingWriter(
          [&file](std::string_view chunk) { return file.Write(chunk); }, &file,
          chunk_size) {}

ListingWriter::ListingWriter(Console& console, size_t chunk_size)
    : ListingWriter(
          [&console](std::string_view chunk) {
            return console.WriteOutput(chunk);
          },
          nullptr, chunk_size) {}

ListingWriter::ListingWriter(ChunkWriter write_chunk, WritableFile* file,
                             size_t chunk_size)
    : write_chunk_(std::move(write_chunk)), file_(file), buffer_(chunk_size) {}

ListingWriter::~ListingWriter() { Flush(); }

bool ListingWriter::Write(std::string_view lines, uint64_t count) {
  if (buffer_.size() - used_ < lines.size()) Flush();
  // A copy into the buffer would cost more than what the file does with
  // the lines while it only compares them with the last disk map's.
  const bool straight =
      used_ == 0 && file_ != nullptr && file_->TakesSmallWrites();
  if (straight || lines.size() >= buffer_.size()) {
    ok_ = ok_ && write_chunk_(lines);
  } else if (!lines.empty()) {
    std::memcpy(buffer_.data() + used_, lines.data(), lines.size());
    used_ += lines.size();
  }
  Count(lines.size(), count);
  return ok_;
}

bool ListingWriter::PassOverSame(uint64_t size, uint64_t count) {
  if (used_ > 0 || file_ == nullptr || !ok_ || !file_->PassOverSame(size)) {
    return false;
  }
  Count(size, count);
  return true;
}

void ListingWriter::Count(uint64_t size, uint64_t count) {
  const uint64_t reports_before = lines_ / kLinesPerReport;
  lines_ += count;
  bytes_ += size;
  if (count_ != nullptr && lines_ / kLinesPerReport != reports_before) {
    count_->Publish(already_listed_ + lines_);
  }
}

bool ListingWriter::Flush() {
  if (count_ != nullptr) count_->Publish(already_listed_ + lines_);
  if (used_ > 0) ok_ = ok_ && write_chunk_({buffer_.data(), used_});
  used_ = 0;
  return ok_;
}

}  // namespace trovane
