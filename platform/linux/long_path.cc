#include "platform/linux/long_path.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <climits>

#include "platform/linux/unique_fd.h"

namespace trovane::long_path {
namespace {

int OpenForLookups(int folder, const char* piece) {
  return openat(folder, piece, O_PATH | O_DIRECTORY | O_CLOEXEC);
}

// `path` as a folder and a name in it: the current folder and the path
// itself when the system takes the path whole, else the path's last folder,
// opened for look-ups only, and its last name.
class PathAt {
 public:
  explicit PathAt(const std::string& path) : name_(path.c_str()) {
    if (path.size() < PATH_MAX) return;
    const size_t last_slash = path.rfind('/');
    // A path of one name that long names nothing on any file system, and
    // the call says so.
    if (last_slash == std::string::npos || last_slash == 0) return;
    const std::string_view folder{path.data(), last_slash};
    folder_ = OpenInPieces(AT_FDCWD, folder, OpenForLookups);
    if (!folder_.valid()) failure_ = errno;
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

UniqueFd OpenInPieces(int at, std::string_view path,
                      int (*open_piece)(int folder, const char* piece)) {
  UniqueFd piece_fd;
  for (;;) {
    if (path.size() < PATH_MAX) {
      return UniqueFd(open_piece(at, std::string(path).c_str()));
    }
    const size_t cut = path.rfind('/', PATH_MAX - 1);
    if (cut == std::string_view::npos || cut == 0) {
      errno = ENAMETOOLONG;
      return UniqueFd();
    }
    piece_fd =
        UniqueFd(open_piece(at, std::string(path.substr(0, cut)).c_str()));
    if (!piece_fd.valid()) return piece_fd;
    at = piece_fd.get();
    path.remove_prefix(cut + 1);
  }
}

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
