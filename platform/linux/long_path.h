// The disk's system calls for Linux paths of any length. The system takes
// a path whole only up to PATH_MAX bytes, but folders go deeper than that:
// a path at least that long is walked to its last folder a piece at a
// time, each piece short enough, and the call made on the name in that
// folder. A shorter path costs no more than the plain call.
//
// Each returns what its plain namesake returns, with errno set alike; a
// folder on the way that cannot be opened fails the call with the reason.
#ifndef TROVANE_PLATFORM_LINUX_LONG_PATH_H_
#define TROVANE_PLATFORM_LINUX_LONG_PATH_H_

#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <memory>
#include <string>
#include <string_view>

#include "platform/linux/unique_fd.h"

namespace trovane::long_path {

// Opens `path`, relative to the folder `at` (or absolute), a piece at a
// time: each piece a run of whole names shorter than PATH_MAX, opened with
// `open_piece(folder, piece)` relative to the piece before it, as openat
// would. The last piece's descriptor; invalid, with errno set, when a piece
// could not be opened or one name is longer than any path.
UniqueFd OpenInPieces(int at, std::string_view path,
                      int (*open_piece)(int folder, const char* piece));

// stat, or lstat with `follow_links` false.
int Stat(const std::string& path, struct stat* info, bool follow_links = true);
int Open(const std::string& path, int flags, mode_t mode = 0);
int Unlink(const std::string& path);
int MakeFolder(const std::string& path, mode_t mode);
int Rename(const std::string& from, const std::string& to);
int HardLink(const std::string& from, const std::string& to);
// Judged with the effective rights, as opening the file would be.
int Access(const std::string& path, int mode);
int ChangeMode(const std::string& path, mode_t mode);
// The link itself, never what it leads to.
int ChangeLinkOwner(const std::string& path, uid_t owner, gid_t group);
ssize_t ReadLink(const std::string& path, char* text, size_t size);

using Folder = std::unique_ptr<DIR, int (*)(DIR*)>;
// The folder opened for reading its entries; empty when it cannot be.
Folder OpenFolder(const std::string& path);

}  // namespace trovane::long_path

#endif  // TROVANE_PLATFORM_LINUX_LONG_PATH_H_
