#include "platform/linux/linux_locks.h"

#include <fcntl.h>
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

// A write lock on the first byte, the one the Windows build's LockFileEx
// takes.
struct flock FirstByteLock() {
  struct flock lock {};
  lock.l_type = F_WRLCK;
  lock.l_whence = SEEK_SET;
  lock.l_start = 0;
  lock.l_len = 1;
  return lock;
}

// Takes that lock; false when another open file holds it.
bool LockFirstByte(int fd) {
  struct flock lock = FirstByteLock();
  return fcntl(fd, F_OFD_SETLK, &lock) == 0;
}

// True when some open file holds a lock on the first byte, which a file
// open for reading only can ask without taking it.
bool FirstByteIsLocked(int fd) {
  struct flock lock = FirstByteLock();
  return fcntl(fd, F_OFD_GETLK, &lock) != 0 || lock.l_type != F_UNLCK;
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
  LockFirstByte(fd.get());
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
  // A folder, a FIFO or a device at the name is no swap file, and no one's
  // to remove.
  struct stat held;
  if (fstat(fd.get(), &held) != 0 || !S_ISREG(held.st_mode)) {
    return Outcome::kUnavailable;
  }
  if (FirstByteIsLocked(fd.get())) return Outcome::kHeldByLiveProcess;
  struct stat named;
  const bool gone_meanwhile =
      lstat(path.c_str(), &named) != 0 || !SameFile(held, named);
  if (gone_meanwhile || unlink(path.c_str()) == 0) {
    return Outcome::kLeftByDeadProcess;
  }
  // Stale, but not ours to remove: another user's file in a folder that
  // only lets owners delete.
  return Outcome::kUnavailable;
}

}  // namespace

bool WaitForFileLock(int fd) {
  struct flock lock = FirstByteLock();
  for (;;) {
    if (fcntl(fd, F_OFD_SETLKW, &lock) == 0) return true;
    if (errno != EINTR) return false;
  }
}

bool FileLockHeld(int fd) { return FirstByteIsLocked(fd); }

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
  struct stat folder_info;
  if (stat(folder.c_str(), &folder_info) != 0 ||
      !S_ISDIR(folder_info.st_mode)) {
    return claim;
  }
  const std::string path = JoinLinuxPath(folder, kFolderLockName);
  UniqueFd fd(open(path.c_str(),
                   O_RDWR | O_CREAT | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC,
                   0600));
  struct stat info;
  if (!fd.valid() || fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode)) {
    return claim;
  }
  // Made by root in another user's folder, it is that user's: the runs
  // of the folder's owner must be able to take it too.
  if (info.st_uid != folder_info.st_uid && geteuid() == 0) {
    (void)!fchown(fd.get(), folder_info.st_uid, folder_info.st_gid);
  }
  if (LockFirstByte(fd.get())) {
    claim.outcome = Outcome::kTaken;
    claim.lock = std::make_unique<FolderLock>(std::move(fd));
  } else if (errno == EAGAIN || errno == EACCES) {
    claim.outcome = Outcome::kHeldByLiveProcess;
  }
  return claim;
}

}  // namespace trovane
