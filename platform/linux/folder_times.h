// Folder times and what they stand for. On the file systems that keep
// them faithfully, a folder's change and modify times move whenever an
// entry is made, removed or renamed in it, so a folder whose stamp has not
// moved still holds the names it held. Network and user-space file
// systems, and anything not known, may not keep them so.
#ifndef TROVANE_PLATFORM_LINUX_FOLDER_TIMES_H_
#define TROVANE_PLATFORM_LINUX_FOLDER_TIMES_H_

#include <sys/stat.h>
#include <sys/vfs.h>
#include <time.h>

#include <cstdint>

#include "platform/folder_stamp.h"

namespace trovane {

// ext4, xfs, btrfs and tmpfs.
bool KeepsFolderTimes(const struct statfs& file_system);

// A time of the clock files are stamped by, in nanoseconds since 1970.
int64_t Nanoseconds(const timespec& time);

// The stamp of the folder `info` tells of.
FolderStamp StampOf(const struct stat& info, bool stands_for_entries);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_LINUX_FOLDER_TIMES_H_
