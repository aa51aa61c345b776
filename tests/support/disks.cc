#include "tests/support/disks.h"

#include <filesystem>

namespace trovane::testing {

std::string MemoryDisk::DriveForm(std::string_view relative) {
  std::string path(relative);
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

void LinuxDisk::PlantLink(std::string_view path, std::string_view target) {
  std::filesystem::create_symlink(sandbox_.Path(target), sandbox_.Path(path));
}

}  // namespace trovane::testing
