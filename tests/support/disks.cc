#include "tests/support/disks.h"

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

namespace trovane::testing {

std::string MemoryDisk::DriveForm(std::string_view relative) {
  std::string path = "C:\\" + std::string(relative);
  for (char& c : path) {
    if (c == '/') c = '\\';
  }
  return path;
}

void LinuxDisk::PlantLink(std::string_view path, std::string_view target) {
  std::filesystem::create_symlink(sandbox_.Path(target), sandbox_.Path(path));
}

void LinuxDisk::PlantFifo(std::string_view path) {
  EXPECT_EQ(mkfifo(sandbox_.Path(path).c_str(), 0666), 0);
}

bool LinuxDisk::CanGiveAway() { return geteuid() == 0; }

void LinuxDisk::GiveAway(std::string_view path) {
  constexpr uid_t kNobody = 65534;
  EXPECT_EQ(lchown(sandbox_.Path(path).c_str(), kNobody, kNobody), 0);
}

void LinuxDisk::Share(std::string_view path) {
  EXPECT_EQ(chmod(sandbox_.Path(path).c_str(), 01777), 0);
}

}  // namespace trovane::testing
