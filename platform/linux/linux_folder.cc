#include "platform/linux/linux_folder.h"

#include <sys/stat.h>

#include "platform/linux/long_path.h"

namespace trovane {

bool IsLinuxFolder(const std::string& linux_path) {
  struct stat info;
  return long_path::Stat(linux_path, &info) == 0 && S_ISDIR(info.st_mode);
}

bool IsLinuxFile(const std::string& linux_path) {
  struct stat info;
  return long_path::Stat(linux_path, &info) == 0 && S_ISREG(info.st_mode);
}

std::string JoinLinuxPath(const std::string& folder, std::string_view name) {
  std::string path = folder;
  if (path.empty() || path.back() != '/') path.push_back('/');
  path.append(name);
  return path;
}

std::string LinuxFolderOf(const std::string& linux_path) {
  const size_t slash = linux_path.rfind('/');
  if (slash == std::string::npos) return ".";
  return slash == 0 ? "/" : linux_path.substr(0, slash);
}

}  // namespace trovane
