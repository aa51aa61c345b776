// Ownership of one handle of the system: closed when its owner goes away,
// so that no early return leaves a handle open behind it.
#ifndef TROVANE_PLATFORM_WINDOWS_UNIQUE_HANDLE_H_
#define TROVANE_PLATFORM_WINDOWS_UNIQUE_HANDLE_H_

#include <windows.h>

#include <utility>

namespace trovane {

class UniqueHandle {
 public:
  UniqueHandle() = default;
  // Takes `handle` over; the system's two ways of saying "no handle", null
  // and INVALID_HANDLE_VALUE, both make an invalid one.
  explicit UniqueHandle(HANDLE handle)
      : handle_(handle == nullptr ? INVALID_HANDLE_VALUE : handle) {}
  UniqueHandle(UniqueHandle&& other) noexcept
      : handle_(std::exchange(other.handle_, INVALID_HANDLE_VALUE)) {}
  UniqueHandle& operator=(UniqueHandle&& other) noexcept {
    if (this != &other) {
      Reset(std::exchange(other.handle_, INVALID_HANDLE_VALUE));
    }
    return *this;
  }
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() { Reset(); }

  HANDLE get() const { return handle_; }
  bool valid() const { return handle_ != INVALID_HANDLE_VALUE; }

  // Closes the handle held, if any, and holds `handle` instead; false when
  // closing reported an error.
  bool Reset(HANDLE handle = INVALID_HANDLE_VALUE) {
    const bool closed = !valid() || CloseHandle(handle_) != 0;
    handle_ = handle == nullptr ? INVALID_HANDLE_VALUE : handle;
    return closed;
  }

  // Gives the handle up without closing it.
  HANDLE Release() { return std::exchange(handle_, INVALID_HANDLE_VALUE); }

 private:
  HANDLE handle_ = INVALID_HANDLE_VALUE;
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_WINDOWS_UNIQUE_HANDLE_H_
