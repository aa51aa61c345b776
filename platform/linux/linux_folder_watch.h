// A watch on a folder of this machine's disk (inotify): readable when a
// file in it was written and closed, or renamed into it.
#ifndef TROVANE_PLATFORM_LINUX_FOLDER_WATCH_H_
#define TROVANE_PLATFORM_LINUX_FOLDER_WATCH_H_

#include <memory>
#include <string>

#include "platform/file_system.h"

namespace trovane {

// Null when the folder cannot be watched.
std::unique_ptr<FolderWatch> WatchLinuxFolder(const std::string& folder);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_LINUX_FOLDER_WATCH_H_
