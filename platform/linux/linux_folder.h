// Linux paths as the backend takes them apart and puts them together, and
// what they name: the few questions about the disk that the drive table,
// the file system and the interpreter all ask.
#ifndef TROVANE_PLATFORM_LINUX_LINUX_FOLDER_H_
#define TROVANE_PLATFORM_LINUX_LINUX_FOLDER_H_

#include <string>
#include <string_view>

namespace trovane {

// True when `linux_path` names a folder, symbolic links followed.
bool IsLinuxFolder(const std::string& linux_path);

// True when `linux_path` names an ordinary file, symbolic links followed.
bool IsLinuxFile(const std::string& linux_path);

// `folder` "/" `name`, without doubling the "/" after a root.
std::string JoinLinuxPath(const std::string& folder, std::string_view name);

// The folder that holds `linux_path`: "/" for a name at the root, "." for
// a bare name.
std::string LinuxFolderOf(const std::string& linux_path);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_LINUX_LINUX_FOLDER_H_
