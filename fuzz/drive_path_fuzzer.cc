// Drive-form paths turned into Linux paths, with drives C, D and E (E a
// folder inside C's) mapped to fixed folders, Z: "/", and the current
// folder on drive D. Whatever the input, ".." never leaves the root a path
// starts from, and a path made this way turns into itself again.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz/property.h"
#include "platform/linux/drive_map.h"
#include "platform/text.h"

namespace trovane::fuzz {
namespace {

constexpr std::string_view kCurrentFolder = "/drv/d/work";

DriveMap FixedMap() {
  DriveMap map;
  map.Map('C', "/drv/c");
  map.Map('D', "/drv/d");
  map.Map('E', "/drv/c/e");
  return map;
}

// The root a path must stay under, from its first bytes alone; nullopt for
// a path on an unmapped drive, and for one holding a NUL, which names
// nothing.
std::optional<std::string> ExpectedRoot(const DriveMap& map,
                                        std::string_view path) {
  if (path.find('\0') != std::string_view::npos) return std::nullopt;
  if (HasDriveLetter(path)) {
    const std::string* folder = map.FolderOf(path[0]);
    if (folder == nullptr) return std::nullopt;
    return *folder;
  }
  if (path.starts_with('/')) return "/";
  return *map.FolderOf('D');  // the drive of the current folder
}

// Every name of `below` is a real name: none empty, none "." or "..", none
// holding a "\\".
bool HasOnlyRealNames(std::string_view below) {
  if (below.empty()) return true;
  size_t start = 0;
  for (;;) {
    const size_t end = below.find('/', start);
    const std::string_view name = below.substr(start, end - start);
    if (name.empty() || name == "." || name == ".." ||
        name.find('\\') != std::string_view::npos) {
      return false;
    }
    if (end == std::string_view::npos) return true;
    start = end + 1;
  }
}

void Check(std::string_view path) {
  static const DriveMap map = FixedMap();
  const std::optional<LinuxPath> linux = map.ToLinux(path, kCurrentFolder);
  const std::optional<std::string> root = ExpectedRoot(map, path);
  Require(linux.has_value() == root.has_value(),
          "a path is unmapped exactly when its drive is or it holds a NUL");
  if (!linux) return;
  Require(linux->root == *root, "a path keeps the root it starts from");
  Require(HasOnlyRealNames(linux->below),
          "no empty, \".\" or \"..\" name remains below the root");
  const std::string joined = linux->Joined();
  Require(
      joined == *root || joined.starts_with(*root == "/" ? *root : *root + "/"),
      "the Linux path is the root or lies below it");

  // A Linux path made this way is already taken apart: as a Linux path or
  // in its drive form it turns into itself.
  const std::optional<LinuxPath> again = map.ToLinux(joined, kCurrentFolder);
  Require(again && again->Joined() == joined,
          "a resolved Linux path turns into itself");
  const std::string drive_form = map.ToDriveForm(joined);
  const std::optional<LinuxPath> back = map.ToLinux(drive_form, kCurrentFolder);
  Require(HasDriveLetter(drive_form) && back && back->Joined() == joined,
          "the drive form of a resolved path leads back to it");
}

}  // namespace
}  // namespace trovane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  trovane::fuzz::Check(
      std::string_view(reinterpret_cast<const char*>(data), size));
  return 0;
}
