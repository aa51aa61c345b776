#include "platform/windows/windows_folder_watch.h"

#include <windows.h>

namespace trovane {
namespace {

class WindowsFolderWatch : public FolderWatch {
 public:
  explicit WindowsFolderWatch(HANDLE change) : change_(change) {}
  WindowsFolderWatch(const WindowsFolderWatch&) = delete;
  WindowsFolderWatch& operator=(const WindowsFolderWatch&) = delete;
  ~WindowsFolderWatch() override { FindCloseChangeNotification(change_); }

  Waitable Waker() const override {
    return Waitable(reinterpret_cast<intptr_t>(change_));
  }
  // Rearms the handle; a change made since it was signalled signals it
  // again at once, so none is missed.
  void Drain() override {
    if (WaitForSingleObject(change_, 0) == WAIT_OBJECT_0) {
      FindNextChangeNotification(change_);
    }
  }

 private:
  HANDLE change_;
};

}  // namespace

std::unique_ptr<FolderWatch> WatchWindowsFolder(const std::wstring& folder) {
  // Names made, removed or renamed, and files written: the completion
  // signal is written and closed, or renamed into place.
  const HANDLE change = FindFirstChangeNotificationW(
      folder.c_str(), FALSE,
      FILE_NOTIFY_CHANGE_FILE_NAME | FILE_NOTIFY_CHANGE_LAST_WRITE);
  if (change == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<WindowsFolderWatch>(change);
}

}  // namespace trovane
