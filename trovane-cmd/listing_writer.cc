#include "trovane-cmd/listing_writer.h"

#include "platform/linux/unique_fd.h"

namespace trovane {

ListingWriter::ListingWriter(int fd, size_t chunk_size)
    : fd_(fd), buffer_(chunk_size) {}

ListingWriter::~ListingWriter() { Flush(); }

bool ListingWriter::Flush() {
  if (count_ != nullptr) count_->Publish(already_listed_ + lines_);
  ok_ = ok_ && WriteAll(fd_, {buffer_.data(), used_});
  used_ = 0;
  return ok_;
}

void ListingWriter::MakeRoom(size_t size) {
  Flush();
  if (buffer_.size() < size) {
    buffer_.resize(size);
  }
}

}  // namespace trovane
