// Ownership of one open descriptor: closed when its owner goes away, so that
// no early return leaves a descriptor open behind it.
#ifndef TROVANE_PLATFORM_UNIQUE_FD_H_
#define TROVANE_PLATFORM_UNIQUE_FD_H_

#include <string_view>
#include <utility>

namespace trovane {

class UniqueFd {
 public:
  UniqueFd() = default;
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(UniqueFd&& other) noexcept : fd_(std::exchange(other.fd_, -1)) {}
  UniqueFd& operator=(UniqueFd&& other) noexcept {
    if (this != &other) {
      Reset(std::exchange(other.fd_, -1));
    }
    return *this;
  }
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() { Reset(); }

  int get() const { return fd_; }
  bool valid() const { return fd_ >= 0; }

  // Closes the descriptor held, if any, and holds `fd` instead; false when
  // closing reported an error.
  bool Reset(int fd = -1);

  // Gives the descriptor up without closing it.
  int Release() { return std::exchange(fd_, -1); }

 private:
  int fd_ = -1;
};

// Writes every byte of `bytes` to `fd`, through short writes and
// interruptions; true when all of them were written.
bool WriteAll(int fd, std::string_view bytes);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_UNIQUE_FD_H_
