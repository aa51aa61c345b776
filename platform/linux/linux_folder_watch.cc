#include "platform/linux/linux_folder_watch.h"

#include <sys/inotify.h>
#include <unistd.h>

#include "platform/linux/unique_fd.h"

namespace trovane {
namespace {

class LinuxFolderWatch : public FolderWatch {
 public:
  explicit LinuxFolderWatch(UniqueFd fd) : fd_(std::move(fd)) {}
  Waitable Waker() const override { return Waitable(fd_.get()); }
  void Drain() override {
    alignas(inotify_event) char events[4096];
    while (read(fd_.get(), events, sizeof events) > 0) {
    }
  }

 private:
  UniqueFd fd_;
};

}  // namespace

std::unique_ptr<FolderWatch> WatchLinuxFolder(const std::string& folder) {
  UniqueFd fd(inotify_init1(IN_NONBLOCK | IN_CLOEXEC));
  // Written and closed, or renamed in: never a mere open or read, which
  // is all a look at the completion signal does.
  if (!fd.valid() ||
      inotify_add_watch(fd.get(), folder.c_str(),
                        IN_CLOSE_WRITE | IN_MOVED_TO | IN_ONLYDIR) < 0) {
    return nullptr;
  }
  return std::make_unique<LinuxFolderWatch>(std::move(fd));
}

}  // namespace trovane
