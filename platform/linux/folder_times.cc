#include "platform/linux/folder_times.h"

#include <linux/magic.h>

#include <cstdint>

namespace trovane {

bool KeepsFolderTimes(const struct statfs& file_system) {
  const auto type = static_cast<uint64_t>(file_system.f_type);
  return type == EXT4_SUPER_MAGIC || type == XFS_SUPER_MAGIC ||
         type == BTRFS_SUPER_MAGIC || type == TMPFS_MAGIC;
}

int64_t Nanoseconds(const timespec& time) {
  return int64_t{time.tv_sec} * 1'000'000'000 + time.tv_nsec;
}

FolderStamp StampOf(const struct stat& info, bool stands_for_entries) {
  return FolderStamp{
      static_cast<uint64_t>(info.st_dev), static_cast<uint64_t>(info.st_ino),
      Nanoseconds(info.st_ctim), Nanoseconds(info.st_mtim), stands_for_entries};
}

}  // namespace trovane
