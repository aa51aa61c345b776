#include "platform/swap_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>

namespace trovane {
namespace {

std::string FolderOf(const std::string& path) {
  const size_t slash = path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : path.substr(0, slash);
}

bool SameFile(const struct stat& a, const struct stat& b) {
  return a.st_dev == b.st_dev && a.st_ino == b.st_ino;
}

// Makes a locked file with no name in the swap file's folder, or failing
// that a locked file under a private hidden name; then gives it the swap
// file's name, which fails when that name exists. So the swap file is
// never seen without its lock.
SwapClaim::Outcome CreateLocked(const std::string& path, int* fd_out) {
  const std::string folder = FolderOf(path);
  int fd = open(folder.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0644);
  std::string private_name;
  if (fd < 0) {
    static unsigned claims = 0;
    private_name = folder + "/.trovane-swap." + std::to_string(getpid()) + "." +
                   std::to_string(++claims);
    fd = open(private_name.c_str(),
              O_CREAT | O_EXCL | O_RDWR | O_NOFOLLOW | O_CLOEXEC, 0644);
    if (fd < 0) return SwapClaim::Outcome::kUnavailable;
  }
  flock(fd, LOCK_EX);
  int linked;
  int link_error;
  if (private_name.empty()) {
    const std::string self = "/proc/self/fd/" + std::to_string(fd);
    linked = linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(),
                    AT_SYMLINK_FOLLOW);
    link_error = errno;
  } else {
    linked = link(private_name.c_str(), path.c_str());
    link_error = errno;
    unlink(private_name.c_str());
  }
  if (linked == 0) {
    *fd_out = fd;
    return SwapClaim::Outcome::kTaken;
  }
  close(fd);
  return link_error == EEXIST ? SwapClaim::Outcome::kHeldByLiveProcess
                              : SwapClaim::Outcome::kUnavailable;
}

// Looks at an existing swap file: alive while its holder keeps the lock.
// A stale one is deleted, after making sure the name still stands for the
// file whose lock was tested, so that a swap file another process has just
// made in its place is left alone.
SwapClaim::Outcome JudgeExisting(const std::string& path) {
  const int fd =
      open(path.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    if (errno == ENOENT) return SwapClaim::Outcome::kLeftByDeadProcess;
    if (errno == ELOOP && unlink(path.c_str()) == 0) {
      return SwapClaim::Outcome::kLeftByDeadProcess;  // a planted link
    }
    // A file this process may not even open (another user's, in a shared
    // folder) cannot be judged, and must not be waited on for ever.
    return SwapClaim::Outcome::kUnavailable;
  }
  SwapClaim::Outcome outcome = SwapClaim::Outcome::kHeldByLiveProcess;
  struct stat held;
  struct stat named;
  if (flock(fd, LOCK_EX | LOCK_NB) == 0 && fstat(fd, &held) == 0) {
    const bool gone_meanwhile =
        lstat(path.c_str(), &named) != 0 || !SameFile(held, named);
    if (gone_meanwhile ||
        (S_ISREG(held.st_mode) && unlink(path.c_str()) == 0)) {
      outcome = SwapClaim::Outcome::kLeftByDeadProcess;
    } else {
      // Stale, but not ours to remove: a folder, or another user's file in
      // a folder that only lets owners delete.
      outcome = SwapClaim::Outcome::kUnavailable;
    }
  }
  close(fd);
  return outcome;
}

}  // namespace

SwapLock::~SwapLock() {
  struct stat held;
  struct stat named;
  if (fstat(fd_, &held) == 0 && lstat(path_.c_str(), &named) == 0 &&
      SameFile(held, named)) {
    unlink(path_.c_str());
  }
  close(fd_);
}

SwapClaim ClaimSwapFile(const std::string& path) {
  SwapClaim claim;
  int fd = -1;
  claim.outcome = CreateLocked(path, &fd);
  if (claim.outcome == SwapClaim::Outcome::kTaken) {
    claim.lock = std::make_unique<SwapLock>(path, fd);
  } else if (claim.outcome == SwapClaim::Outcome::kHeldByLiveProcess) {
    claim.outcome = JudgeExisting(path);
  }
  return claim;
}

}  // namespace trovane
