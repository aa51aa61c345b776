// The locks between processes on this machine's disk.
//
// A databank's swap file is made unnamed, locked, then linked into place,
// so it never appears without its lock: whoever finds it can ask the lock
// whether its holder is still alive, and a swap file nobody holds is
// removed instead of being waited on for ever.
//
// A folder's lock is a lock on the folder itself: it belongs to every
// process that reaches the folder, whatever its temporary folder, and it
// leaves nothing behind when its holder dies.
#ifndef TROVANE_PLATFORM_LINUX_LOCKS_H_
#define TROVANE_PLATFORM_LINUX_LOCKS_H_

#include <string>

#include "platform/file_system.h"

namespace trovane {

// Tries once to take the swap file at the Linux path `path`. Never opens
// that name through a symbolic link, and removes a link planted there.
LockClaim ClaimSwapFile(const std::string& path);

// Tries once to take the lock of the Linux folder `folder`.
LockClaim ClaimFolder(const std::string& folder);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_LINUX_LOCKS_H_
