#include "platform/linux/long_path.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/linux/unique_fd.h"

namespace trovane::long_path {
namespace {

// `path` as a folder and a name in it: the current folder and the path
// itself when the system takes the path whole, else the path's last folder,
// opened (for look-ups only) a piece at a time, and its last name.
class PathAt {
 public:
  explicit PathAt(const std::string& path) : name_(path.c_str()) {
    if (path.size() < PATH_MAX) return;
    const size_t last_slash = path.rfind('/');
    // A path of one name that long names nothing on any file system, and
    // the call says so.
    if (last_slash == std::string::npos || last_slash == 0) return;
    size_t start = 0;
    int at = AT_FDCWD;
    while (start < last_slash) {
      size_t end = last_slash;
      if (end - start >= PATH_MAX) {
        end = path.rfind('/', start + PATH_MAX - 1);
        // One name longer than a whole path: no file system holds it.
        if (end == std::string::npos || end <= start) {
          failure_ = ENAMETOOLONG;
          return;
        }
      }
      // The root's "/" begins the first piece; every later piece is
      // relative to the folder before it.
      const std::string piece = path.substr(start, end - start);
      folder_.Reset(
          openat(at, piece.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC));
      if (!folder_.valid()) {
        failure_ = errno;
        return;
      }
      at = folder_.get();
      start = end + 1;
      while (start < last_slash && path[start] == '/') ++start;
    }
    name_ = path.c_str() + last_slash + 1;
  }

  // Whether the folder was reached; if not, errno says why.
  bool reached() const {
    if (failure_ != 0) errno = failure_;
    return failure_ == 0;
  }
  int folder() const { return folder_.valid() ? folder_.get() : AT_FDCWD; }
  const char* name() const { return name_; }

 private:
  UniqueFd folder_;
  const char* name_;
  int failure_ = 0;
};

}  // namespace

int Stat(const std::string& path, struct stat* info, bool follow_links) {
  const PathAt at(path);
  return at.reached() ? fstatat(at.folder(), at.name(), info,
                                follow_links ? 0 : AT_SYMLINK_NOFOLLOW)
                      : -1;
}

int Open(const std::string& path, int flags, mode_t mode) {
  const PathAt at(path);
  return at.reached() ? openat(at.folder(), at.name(), flags, mode) : -1;
}

int Unlink(const std::string& path) {
  const PathAt at(path);
  return at.reached() ? unlinkat(at.folder(), at.name(), 0) : -1;
}

int MakeFolder(const std::string& path, mode_t mode) {
  const PathAt at(path);
  return at.reached() ? mkdirat(at.folder(), at.name(), mode) : -1;
}

int Rename(const std::string& from, const std::string& to) {
  const PathAt source(from);
  const PathAt target(to);
  return source.reached() && target.reached()
             ? renameat(source.folder(), source.name(), target.folder(),
                        target.name())
             : -1;
}

int HardLink(const std::string& from, const std::string& to) {
  const PathAt source(from);
  const PathAt target(to);
  return source.reached() && target.reached()
             ? linkat(source.folder(), source.name(), target.folder(),
                      target.name(), 0)
             : -1;
}

int Access(const std::string& path, int mode) {
  const PathAt at(path);
  return at.reached() ? faccessat(at.folder(), at.name(), mode, AT_EACCESS)
                      : -1;
}

int ChangeMode(const std::string& path, mode_t mode) {
  const PathAt at(path);
  return at.reached() ? fchmodat(at.folder(), at.name(), mode, 0) : -1;
}

int ChangeLinkOwner(const std::string& path, uid_t owner, gid_t group) {
  const PathAt at(path);
  return at.reached() ? fchownat(at.folder(), at.name(), owner, group,
                                 AT_SYMLINK_NOFOLLOW)
                      : -1;
}

ssize_t ReadLink(const std::string& path, char* text, size_t size) {
  const PathAt at(path);
  return at.reached() ? readlinkat(at.folder(), at.name(), text, size) : -1;
}

Folder OpenFolder(const std::string& path) {
  const int fd = Open(path, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return {nullptr, closedir};
  DIR* dir = fdopendir(fd);
  if (dir == nullptr) close(fd);
  return {dir, closedir};
}

}  // namespace trovane::long_path
