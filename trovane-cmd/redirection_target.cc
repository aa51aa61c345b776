#include "trovane-cmd/redirection_target.h"

#include <fcntl.h>
#include <sys/stat.h>

namespace trovane {

UniqueFd OpenRedirectionTarget(const std::string& linux_path,
                               Redirection redirection) {
  // Not blocking on open keeps a named pipe planted in the target's place
  // from stalling the batch; it is then refused below, as is anything but
  // an ordinary file or a device.
  const int flags = O_WRONLY | O_CREAT | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK |
                    (redirection == Redirection::kAppend ? O_APPEND : O_TRUNC);
  UniqueFd fd(open(linux_path.c_str(), flags, 0666));
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
