#include "platform/linux/folder_times.h"

#include <linux/magic.h>

#include <cstdint>

namespace trovane {

bool KeepsFolderTimes(const struct statfs& file_system) {
  const auto type = static_cast<uint64_t>(file_system.f_type);
  return type == EXT4_SUPER_MAGIC || type == XFS_SUPER_MAGIC ||
         type == BTRFS_SUPER_MAGIC || type == TMPFS_MAGIC;
}

FolderStamp StampOf(const struct stat& info, bool stands_for_entries) {
  return FolderStamp{
      static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino),
      int64_t{info.st_ctim.tv_sec} * 1'000'000'000 + info.st_ctim.tv_nsec,
      int64_t{info.st_mtim.tv_sec} * 1'000'000'000 + info.st_mtim.tv_nsec,
      stands_for_entries};
}

}  // namespace trovane
