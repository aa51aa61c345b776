#include "platform/linux/linux_locks.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

#include "platform/linux/linux_folder.h"
#include "platform/linux/unique_fd.h"

namespace trovane {
namespace {

using Outcome = LockClaim::Outcome;

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Held by its open descriptor; the file goes when the lock does, unless
// the name has meanwhile come to stand for another file.
class SwapLock : public HeldLock {
 public:
  SwapLock(std::string path, UniqueFd fd)
      : path_(std::move(path)), fd_(std::move(fd)) {}
  ~SwapLock() override {
    struct stat held;
    struct stat named;
    if (fstat(fd_.get(), &held) == 0 && lstat(path_.c_str(), &named) == 0 &&
        SameFile(held, named)) {
      unlink(path_.c_str());
    }
  }

 private:
  std::string path_;  // Linux path
  UniqueFd fd_;
};

class FolderLock : public HeldLock {
 public:
  explicit FolderLock(UniqueFd fd) : fd_(std::move(fd)) {}

 private:
  UniqueFd fd_;  // closing it lets go of the lock
};

// Makes a locked file with no name in the swap file's folder, or failing
// that a locked file under a private hidden name; then gives it the swap
// file's name, which fails when that name exists. So the swap file is
// never seen without its lock.
Outcome CreateLocked(const std::string& path, UniqueFd* fd_out) {
  const std::string folder = LinuxFolderOf(path);
  UniqueFd fd(open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0644));
  std::string private_name;
  if (!fd.valid()) {
    static unsigned claims = 0;
    private_name = folder + "/.trovane-swap." + std::to_string(getpid()) + "." +
                   std::to_string(++claims);
    fd.Reset(open(private_name.c_str(),
                  O_CREAT | O_EXCL | O_RDWR | O_NOFOLLOW | O_CLOEXEC, 0644));
    if (!fd.valid()) return Outcome::kUnavailable;
  }
  flock(fd.get(), LOCK_EX);
  int linked;
  int link_error;
  if (private_name.empty()) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd.get());
    linked = linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(),
                    AT_SYMLINK_FOLLOW);
    link_error = errno;
  } else {
    linked = link(private_name.c_str(), path.c_str());
    link_error = errno;
    unlink(private_name.c_str());
  }
  if (linked == 0) {
    *fd_out = std::move(fd);
    return Outcome::kTaken;
  }
  return link_error == EEXIST ? Outcome::kHeldByLiveProcess
                              : Outcome::kUnavailable;
}

// Looks at an existing swap file: alive while its holder keeps the lock.
// A stale one is deleted, after making sure the name still stands for the
// file whose lock was tested, so that a swap file another process has just
// made in its place is left alone.
Outcome JudgeExisting(const std::string& path) {
  const UniqueFd fd(
      open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC));
  if (!fd.valid()) {
    if (errno == ENOENT) return Outcome::kLeftByDeadProcess;
    if (errno == ELOOP && unlink(path.c_str()) == 0) {
      return Outcome::kLeftByDeadProcess;  // a planted link
    }
    // A file this process may not even open (another user's, in a shared
    // folder) cannot be judged, and must not be waited on for ever.
    return Outcome::kUnavailable;
  }
  if (flock(fd.get(), LOCK_EX | LOCK_NB) != 0) {
    return Outcome::kHeldByLiveProcess;
  }
  struct stat held;
  struct stat named;
  if (fstat(fd.get(), &held) != 0) return Outcome::kHeldByLiveProcess;
  const bool gone_meanwhile =
      lstat(path.c_str(), &named) != 0 || !SameFile(held, named);
  if (gone_meanwhile || (S_ISREG(held.st_mode) && unlink(path.c_str()) == 0)) {
    return Outcome::kLeftByDeadProcess;
  }
  // Stale, but not ours to remove: a folder, or another user's file in a
  // folder that only lets owners delete.
  return Outcome::kUnavailable;
}

}  // namespace

LockClaim ClaimSwapFile(const std::string& path) {
  LockClaim claim;
  UniqueFd fd;
  claim.outcome = CreateLocked(path, &fd);
  if (claim.outcome == Outcome::kTaken) {
    claim.lock = std::make_unique<SwapLock>(path, std::move(fd));
  } else if (claim.outcome == Outcome::kHeldByLiveProcess) {
    claim.outcome = JudgeExisting(path);
  }
  return claim;
}

LockClaim ClaimFolder(const std::string& folder) {
  LockClaim claim;
  UniqueFd fd(open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!fd.valid()) return claim;
  if (flock(fd.get(), LOCK_EX | LOCK_NB) == 0) {
    claim.outcome = Outcome::kTaken;
    claim.lock = std::make_unique<FolderLock>(std::move(fd));
  } else if (errno == EWOULDBLOCK) {
    claim.outcome = Outcome::kHeldByLiveProcess;
  }
  return claim;
}

}  // namespace trovane
