#include "platform/linux/wine_drives.h"

#include <limits.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <utility>

#include "platform/linux/linux_folder.h"
#include "platform/text.h"

namespace trovane {
namespace {

// The folder the link at `link_path` leads to, with every link on the way
// resolved by the system, so that a relative target is taken from the
// dosdevices folder exactly as Wine takes it ("c:" -> "../drive_c"); empty
// when `link_path` is no link to a folder.
std::string LinkedFolder(const std::string& link_path) {
  struct stat info;
  if (lstat(link_path.c_str(), &info) != 0 || !S_ISLNK(info.st_mode)) {
    return {};
  }
  char resolved[PATH_MAX];
  if (realpath(link_path.c_str(), resolved) == nullptr ||
      !IsLinuxFolder(resolved)) {
    return {};
  }
  return resolved;
}

}  // namespace

std::string WinePrefixOf(const Environment& environment) {
  std::string prefix = environment.Get("WINEPREFIX");
  if (!prefix.empty()) {
    return prefix;
  }
  const std::string home = environment.Get("HOME");
  return home.empty() ? std::string() : home + "/.wine";
}

std::vector<WineDrive> ReadWineDrives(const std::string& prefix) {
  std::vector<WineDrive> drives;
  const std::string dosdevices = prefix + "/dosdevices/";
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    // Wine names its links in lower case; an upper-case one stands in for
    // a missing lower-case one.
    std::string folder = LinkedFolder(dosdevices + LowerAscii(letter) + ':');
    if (folder.empty()) {
      folder = LinkedFolder(dosdevices + letter + ':');
    }
    if (!folder.empty()) {
      drives.push_back({letter, std::move(folder)});
    }
  }
  return drives;
}

}  // namespace trovane
