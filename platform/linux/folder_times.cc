#include "platform/linux/folder_times.h"

#include <linux/magic.h>

#include <cstdint>

namespace trovane {

bool KeepsFolderTimes(const struct statfs& file_system) {
  const auto type = static_cast<uint64_t>(file_system.f_type);
  return type == EXT4_SUPER_MAGIC || type == XFS_SUPER_MAGIC ||
         type == BTRFS_SUPER_MAGIC || type == TMPFS_MAGIC;
}

}  // namespace trovane
