#include "platform/linux/unique_fd.h"

#include <unistd.h>

#include <cerrno>

namespace trovane {

bool UniqueFd::Reset(int fd) {
  const bool closed = fd_ < 0 || close(fd_) == 0;
  fd_ = fd;
  return closed;
}

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

}  // namespace trovane
