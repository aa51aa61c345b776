#include "platform/output_file.h"

#include <unistd.h>

#include <cerrno>
#include <utility>

namespace trovane {
namespace {

constexpr size_t kFlushSize = 1 << 16;

}  // namespace

OutputFile::OutputFile(FileNumbers::Lease lease) : lease_(std::move(lease)) {}

OutputFile::~OutputFile() { Close(); }

void OutputFile::Write(std::string_view bytes) {
  pending_.append(bytes);
  if (pending_.size() >= kFlushSize) Flush();
}

void OutputFile::WriteLine(std::string_view text) {
  Write(text);
  Write("\r\n");
}

bool OutputFile::Flush() {
  const int fd = lease_.fd();
  if (fd < 0 && !pending_.empty()) ok_ = false;
  size_t done = 0;
  while (fd >= 0 && done < pending_.size()) {
    const ssize_t n = write(fd, pending_.data() + done, pending_.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) {
      ok_ = false;
      break;
    }
    done += static_cast<size_t>(n);
  }
  pending_.clear();
  return ok_;
}

bool OutputFile::Close() {
  if (closed_) return ok_;
  closed_ = true;
  Flush();
  if (!lease_.Close()) ok_ = false;
  return ok_;
}

}  // namespace trovane
