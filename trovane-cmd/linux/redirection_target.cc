#include "trovane-cmd/linux/redirection_target.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

namespace trovane {
namespace {

// Removes `linux_path` when its last name is a symbolic link, and nothing
// else: never a file or a folder.
bool RemoveLink(const std::string& linux_path) {
  struct stat info;
  return lstat(linux_path.c_str(), &info) == 0 && S_ISLNK(info.st_mode) &&
         unlink(linux_path.c_str()) == 0;
}

}  // namespace

UniqueFd OpenRedirectionTarget(const std::string& linux_path,
                               Redirection redirection) {
  // Not blocking on open keeps a named pipe planted in the target's place
  // from stalling the batch; it is then refused below, as is anything but
  // an ordinary file or a device.
  const int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK |
                    (redirection == Redirection::kAppend ? O_APPEND : O_TRUNC);
  UniqueFd fd(open(linux_path.c_str(), flags, 0666));
  if (!fd.valid() && errno == ELOOP && RemoveLink(linux_path)) {
    // Once only: a link planted again in the meantime is refused.
    fd = UniqueFd(open(linux_path.c_str(), flags, 0666));
  }
  if (!fd.valid()) {
    return fd;
  }
  struct stat info;
  if (fstat(fd.get(), &info) != 0 ||
      !(S_ISREG(info.st_mode) || S_ISCHR(info.st_mode))) {
    return UniqueFd();
  }
  const int status = fcntl(fd.get(), F_GETFL);
  if (status < 0 || fcntl(fd.get(), F_SETFL, status & ~O_NONBLOCK) != 0) {
    return UniqueFd();
  }
  return fd;
}

}  // namespace trovane
