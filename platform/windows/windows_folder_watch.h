// A watch on a folder of this machine's disk: its handle is signalled when
// a name in the folder is made, removed or renamed, or a file in it is
// written.
#ifndef TROVANE_PLATFORM_WINDOWS_WINDOWS_FOLDER_WATCH_H_
#define TROVANE_PLATFORM_WINDOWS_WINDOWS_FOLDER_WATCH_H_

#include <memory>
#include <string>

#include "platform/file_system.h"

namespace trovane {

// Null when the folder (a "\\?\" path) cannot be watched.
std::unique_ptr<FolderWatch> WatchWindowsFolder(const std::wstring& folder);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_WINDOWS_WINDOWS_FOLDER_WATCH_H_
