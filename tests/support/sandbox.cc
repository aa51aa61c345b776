#include "tests/support/sandbox.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <time.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "platform/linux/unique_fd.h"
#include "tests/support/text_files.h"

namespace trovane::testing {

Sandbox::Sandbox() {
  const char* base = std::getenv("TMPDIR");
  std::string pattern =
      std::string(base != nullptr && *base != '\0' ? base : "/tmp") +
      "/trovane-test-XXXXXX";
  if (mkdtemp(pattern.data()) == nullptr) {
    ADD_FAILURE() << "cannot make a sandbox folder";
  }
  root_ = pattern;
}

Sandbox::~Sandbox() {
  std::error_code ignored;
  // Folders a test made unreadable must be opened up before removal.
  for (auto it = std::filesystem::recursive_directory_iterator(
           root_, std::filesystem::directory_options::skip_permission_denied,
           ignored);
       it != std::filesystem::recursive_directory_iterator(); ++it) {
    if (it->is_directory(ignored) && !it->is_symlink(ignored)) {
      std::filesystem::permissions(it->path(),
                                   std::filesystem::perms::owner_all,
                                   std::filesystem::perm_options::add, ignored);
    }
  }
  std::filesystem::permissions(root_, std::filesystem::perms::owner_all,
                               std::filesystem::perm_options::add, ignored);
  std::filesystem::remove_all(root_, ignored);
}

std::string Sandbox::Path(std::string_view relative) const {
  return relative.empty() ? root_ : root_ + "/" + std::string(relative);
}

void Sandbox::Write(std::string_view relative, std::string_view content) const {
  const std::filesystem::path path = Path(relative);
  std::filesystem::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(content.data(), static_cast<std::streamsize>(content.size()));
}

std::string Sandbox::Read(std::string_view relative) const {
  std::ifstream in(Path(relative), std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

bool Sandbox::Exists(std::string_view relative) const {
  std::error_code ignored;
  return std::filesystem::exists(
      std::filesystem::symlink_status(Path(relative), ignored));
}

void Sandbox::MakeFolder(std::string_view relative) const {
  std::filesystem::create_directories(Path(relative));
}

bool Sandbox::SetModified(std::string_view relative,
                          const LocalTime& time) const {
  tm local{};
  local.tm_year = time.year - 1900;
  local.tm_mon = time.month - 1;
  local.tm_mday = time.day;
  local.tm_hour = time.hour;
  local.tm_min = time.minute;
  local.tm_sec = time.second;
  local.tm_isdst = -1;
  const time_t when = mktime(&local);
  const timespec times[2] = {{when, 0}, {when, 0}};
  return utimensat(AT_FDCWD, Path(relative).c_str(), times, 0) == 0;
}

bool Sandbox::MakeChain(std::string_view top, const std::string& name,
                        int depth) const {
  MakeFolder(top);
  UniqueFd folder(open(Path(top).c_str(), O_RDONLY | O_DIRECTORY));
  for (int level = 0; level < depth && folder.valid(); ++level) {
    if (mkdirat(folder.get(), name.c_str(), 0755) != 0 ||
        mkdirat(folder.get(), "s", 0755) != 0) {
      return false;
    }
    folder = UniqueFd(openat(folder.get(), name.c_str(), O_RDONLY));
  }
  return folder.valid() &&
         UniqueFd(openat(folder.get(), "bottom", O_WRONLY | O_CREAT, 0644))
             .valid();
}

void Sandbox::RemoveChain(std::string_view top, const std::string& name) const {
  // The top folder goes at each step, the rest moved up in its place.
  const UniqueFd root(open(root_.c_str(), O_RDONLY | O_DIRECTORY));
  std::string current(top);
  for (int step = 0;; ++step) {
    const UniqueFd folder(openat(root.get(), current.c_str(), O_RDONLY));
    const std::string rest = "rest " + std::to_string(step % 2);
    const bool deeper =
        renameat(folder.get(), name.c_str(), root.get(), rest.c_str()) == 0;
    unlinkat(folder.get(), "s", AT_REMOVEDIR);
    unlinkat(folder.get(), "bottom", 0);
    if (unlinkat(root.get(), current.c_str(), AT_REMOVEDIR) != 0 || !deeper) {
      return;
    }
    current = rest;
  }
}

DriveMap Sandbox::Drives() const {
  DriveMap drives;
  drives.Map('C', root_);
  return drives;
}

LinuxFileSystem Sandbox::Files() const {
  return LinuxFileSystem(PathView(Drives(), root_));
}

std::vector<std::string> ActivityLogMessages(const Sandbox& sandbox) {
  return LogMessages(sandbox.Read("Run/Trovane.Log"));
}

}  // namespace trovane::testing
