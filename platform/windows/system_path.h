// Drive-form paths as the system's wide calls take them. A path is made
// whole (absolute, "/" read as "\", "." and ".." taken out) by the program
// itself, because the calls get it in the "\\?\" form, which the system
// takes literally: that form lets a path run past 260 characters and never
// turns a name such as NUL or CON into a device.
#ifndef TROVANE_PLATFORM_WINDOWS_SYSTEM_PATH_H_
#define TROVANE_PLATFORM_WINDOWS_SYSTEM_PATH_H_

#include <optional>
#include <string>
#include <string_view>

namespace trovane {

// The absolute drive-form path that `path` names, seen from the absolute
// folder `current_folder`: "C:\X\Y" for a path with a drive and a root, a
// path on the current drive for "\X", a path from the current folder for a
// relative one (and for "C:X", when the current folder is on drive C; the
// root of that drive otherwise), "\\SERVER\SHARE\X" for a network path.
// Runs of separators collapse, "." names are dropped and ".." takes out the
// name before it but never climbs above the root; a drive's root is "C:\".
// A path already in the "\\?\" or "\\.\" form is kept as it is. Nothing for
// a path that holds a NUL byte, or that neither it nor the current folder
// gives a root to.
std::optional<std::string> FullDrivePath(std::string_view path,
                                         std::string_view current_folder);

// The "\\?\" form of FullDrivePath() in UTF-16: "\\?\C:\X" or
// "\\?\UNC\SERVER\SHARE\X".
std::optional<std::wstring> SystemPath(std::string_view path,
                                       std::string_view current_folder);

// The path of a system call's answer as the program writes it: "\\?\C:\X"
// becomes "C:\X" and "\\?\UNC\S\X" becomes "\\S\X".
std::string WithoutLongPrefix(std::string path);

// A whole path cut before its last name: the folder ("C:\" for a name in
// the root) and the name, empty when the path is a root.
struct FolderAndName {
  std::string folder;
  std::string name;
};
FolderAndName SplitLastName(const std::string& full_path);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_WINDOWS_SYSTEM_PATH_H_
