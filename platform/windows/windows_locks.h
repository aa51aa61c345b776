// The locks between processes on this machine's disk. Each is an exclusive
// lock (LockFileEx) on byte 0, length 1, of a file:
// - a databank's swap file: the byte of the swap file itself;
// - a databank's folder: the byte of the file ".trovane-lock" in that
//   folder, made (hidden) by the first process that locks it there and never
//   removed, since a process may be waiting on the lock of the very file
//   another would remove.
// Under Wine these are POSIX record locks on the same byte of the same file,
// so a Linux process that locks that byte with fcntl excludes a Windows run
// and the other way round. Nothing reads or writes either file: a lock on
// Windows also bars other handles from the locked byte.
//
// A swap file is made under a private name, locked, then renamed into
// place, which fails when that name exists: it never appears without its
// lock, so a swap file whose byte nobody holds was left by a process that
// died, and is removed instead of being waited on for ever.
#ifndef TROVANE_PLATFORM_WINDOWS_WINDOWS_LOCKS_H_
#define TROVANE_PLATFORM_WINDOWS_WINDOWS_LOCKS_H_

#include <string>

#include "platform/file_system.h"

namespace trovane {

// The name of the file whose byte is a folder's lock.
inline constexpr char kFolderLockName[] = ".trovane-lock";

// Tries once to take the swap file at `path`, a "\\?\" path. Never opens
// that name through a symbolic link, and removes a link planted there.
LockClaim ClaimSwapFile(const std::wstring& path);

// Tries once to take the lock of the folder `folder`, a "\\?\" path.
LockClaim ClaimFolder(const std::wstring& folder);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_WINDOWS_WINDOWS_LOCKS_H_
