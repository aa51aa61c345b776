// Which file systems keep folder times faithfully: on these a folder's
// change and modify times move whenever an entry is made, removed or
// renamed in it, so a folder whose times have not moved still holds the
// names it held. Network and user-space file systems, and anything not
// known, may not.
#ifndef TROVANE_PLATFORM_LINUX_FOLDER_TIMES_H_
#define TROVANE_PLATFORM_LINUX_FOLDER_TIMES_H_

#include <sys/vfs.h>

namespace trovane {

// ext4, xfs, btrfs and tmpfs.
bool KeepsFolderTimes(const struct statfs& file_system);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_LINUX_FOLDER_TIMES_H_
