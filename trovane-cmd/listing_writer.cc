#include "trovane-cmd/listing_writer.h"

#include <cstring>

#include "platform/linux/unique_fd.h"

namespace trovane {

ListingWriter::ListingWriter(int fd, size_t chunk_size)
    : fd_(fd), buffer_(chunk_size) {}

ListingWriter::~ListingWriter() { Flush(); }

bool ListingWriter::Write(std::string_view lines, uint64_t count) {
  if (buffer_.size() - used_ < lines.size()) Flush();
  if (lines.size() >= buffer_.size()) {
    ok_ = ok_ && WriteAll(fd_, lines);
  } else if (!lines.empty()) {
    std::memcpy(buffer_.data() + used_, lines.data(), lines.size());
    used_ += lines.size();
  }
  const uint64_t reports_before = lines_ / kLinesPerReport;
  lines_ += count;
  if (count_ != nullptr && lines_ / kLinesPerReport != reports_before) {
    count_->Publish(already_listed_ + lines_);
  }
  return ok_;
}

bool ListingWriter::Flush() {
  if (count_ != nullptr) count_->Publish(already_listed_ + lines_);
  ok_ = ok_ && WriteAll(fd_, {buffer_.data(), used_});
  used_ = 0;
  return ok_;
}

}  // namespace trovane
