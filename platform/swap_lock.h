// The swap file of a databank, held as a lock between processes. The file
// appears under its name already locked (it is made unnamed, locked, then
// linked into place), so whoever finds it can ask the lock whether its
// holder is still alive: a swap file nobody holds was left by a process
// that died, and is removed instead of being waited on for ever.
#ifndef TROVANE_PLATFORM_SWAP_LOCK_H_
#define TROVANE_PLATFORM_SWAP_LOCK_H_

#include <memory>
#include <string>

namespace trovane {

class SwapLock {
 public:
  SwapLock(std::string path, int fd) : path_(std::move(path)), fd_(fd) {}
  SwapLock(const SwapLock&) = delete;
  SwapLock& operator=(const SwapLock&) = delete;
  // Deletes the swap file and lets go of the lock.
  ~SwapLock();

 private:
  std::string path_;  // Linux path
  int fd_;
};

struct SwapClaim {
  enum class Outcome {
    kTaken,              // `lock` holds the new swap file
    kHeldByLiveProcess,  // another living process holds it
    kLeftByDeadProcess,  // it was stale and has been deleted; try again
    kUnavailable,        // the swap file cannot be made in that folder
  };
  Outcome outcome = Outcome::kUnavailable;
  std::unique_ptr<SwapLock> lock;
};

// Tries once to take the swap file at the Linux path `path`. Never opens
// that name through a symbolic link.
SwapClaim ClaimSwapFile(const std::string& path);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_SWAP_LOCK_H_
