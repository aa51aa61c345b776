// The locks between processes on this machine's disk. Both are record
// locks on the first byte of a file (open file description locks), the
// kind Wine makes of the Windows build's LockFileEx, so that a run of
// either build keeps the other out.
//
// A databank's swap file is made unnamed, locked, then linked into place,
// so it never appears without its lock: whoever finds it can ask the lock
// whether its holder is still alive, and a swap file nobody holds is
// removed instead of being waited on for ever.
//
// A folder's lock is the lock of the file ".trovane-lock" in it, made on
// first use and left there, readable and writable by the folder's owner
// alone, so that no other user can hold it: it belongs to every run that
// reaches the folder, whatever its temporary folder, and it is let go of
// when its holder dies.
#ifndef TROVANE_PLATFORM_LINUX_LINUX_LOCKS_H_
#define TROVANE_PLATFORM_LINUX_LINUX_LOCKS_H_

#include <string>

#include "platform/file_system.h"

namespace trovane {

// The name of the file a folder's lock is taken on.
inline constexpr char kFolderLockName[] = ".trovane-lock";

// Tries once to take the swap file at the Linux path `path`. Never opens
// that name through a symbolic link, and removes a link planted there.
LockClaim ClaimSwapFile(const std::string& path);

// Tries once to take the lock of the Linux folder `folder`.
LockClaim ClaimFolder(const std::string& folder);

// Takes the lock of the open file `fd`, waiting while another open file
// holds it; false when it cannot be had at all.
bool WaitForFileLock(int fd);

// True when some open file holds the lock of the open file `fd`.
bool FileLockHeld(int fd);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_LINUX_LINUX_LOCKS_H_
