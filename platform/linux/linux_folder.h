// Whether a Linux path names a folder: the one question about the disk that
// the drive table, Cd and Dir all ask before they take a path as a folder.
#ifndef TROVANE_PLATFORM_LINUX_FOLDER_H_
#define TROVANE_PLATFORM_LINUX_FOLDER_H_

#include <string>

namespace trovane {

// True when `linux_path` names a folder, symbolic links followed.
bool IsLinuxFolder(const std::string& linux_path);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_LINUX_FOLDER_H_
