#include "platform/linux/linux_folder.h"

#include <sys/stat.h>

namespace trovane {

bool IsLinuxFolder(const std::string& linux_path) {
  struct stat info;
  return stat(linux_path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

}  // namespace trovane
