// Ownership of one open descriptor: closed when the owner goes away, so that
// every early return of the interpreter leaves nothing open behind.
#ifndef TROVANE_TROVANE_CMD_UNIQUE_FD_H_
#define TROVANE_TROVANE_CMD_UNIQUE_FD_H_

#include <unistd.h>

#include <utility>

namespace trovane {

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      Reset();
      fd_ = std::exchange(other.fd_, -1);
    }
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { Reset(); }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }

  void Reset() {
    if (fd_ >= 0) {
      close(fd_);
    }
    fd_ = -1;
  }

 private:
  int fd_ = -1;
};

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_UNIQUE_FD_H_
