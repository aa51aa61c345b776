#include "platform/linux/linux_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <time.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <utility>
#include <vector>

#include "platform/linux/linux_file.h"
#include "platform/linux/linux_folder.h"
#include "platform/linux/linux_folder_watch.h"
#include "platform/linux/linux_index_files.h"
#include "platform/linux/linux_locks.h"
#include "platform/linux/long_path.h"
#include "platform/past_index.h"
#include "platform/text.h"
#include "platform/wildcard.h"

namespace trovane {
namespace {

// True when the entry of an open folder is an ordinary file, symbolic links
// followed; the folder's own record of the type saves a stat where it can.
bool IsRegularEntry(DIR* dir, const dirent& entry) {
  if (entry.d_type == DT_REG) return true;
  if (entry.d_type != DT_LNK && entry.d_type != DT_UNKNOWN) return false;
  struct stat info;
  return fstatat(dirfd(dir), entry.d_name, &info, 0) == 0 &&
         S_ISREG(info.st_mode);
}

// The first name in byte order of an ordinary, visible file in `folder`
// that `matches`.
template <typename Matches>
std::string FirstFileIn(const std::string& folder, Matches matches) {
  const long_path::Folder dir = long_path::OpenFolder(folder);
  if (!dir) return {};
  std::string best;
  while (const dirent* entry = readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (IsHiddenName(name) || !matches(name)) continue;
    if (!best.empty() && name >= best) continue;
    if (IsRegularEntry(dir.get(), *entry)) best = name;
  }
  return best;
}

int OpenFlags(OpenOptions options) {
  return O_CLOEXEC | (options.refuse_link ? O_NOFOLLOW : 0);
}

int ModeFlags(WriteMode mode) {
  switch (mode) {
    case WriteMode::kReplace:
      return O_TRUNC;
    case WriteMode::kAppend:
      return O_APPEND;
    case WriteMode::kCreateNew:
      return O_EXCL;
    case WriteMode::kOverwrite:
      return 0;
  }
  return O_TRUNC;
}

LocalTime LocalTimeOf(time_t when) {
  tm local{};
  localtime_r(&when, &local);
  return LocalTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                   local.tm_hour,        local.tm_min,     local.tm_sec};
}

// Tells the kept folder names, once the operation is over, that it may have
// changed the disk: an entry made, removed or renamed must be seen by the
// next look-up.
class TouchWhenDone {
 public:
  explicit TouchWhenDone(const PathView& paths) : paths_(paths) {}
  TouchWhenDone(const TouchWhenDone&) = delete;
  TouchWhenDone& operator=(const TouchWhenDone&) = delete;
  ~TouchWhenDone() { paths_.Touched(); }

 private:
  const PathView& paths_;
};

}  // namespace

LinuxFileSystem::LinuxFileSystem(PathView paths, FileNumbers& numbers)
    : paths_(std::move(paths)), numbers_(numbers) {
  paths_.KeepFolderNames();
}

std::string LinuxFileSystem::Probe(std::string_view path) {
  const std::optional<PathView::Split> split = paths_.SplitLast(path);
  if (!split || split->name.empty() || IsHiddenName(split->name)) return {};
  const std::string& name = split->name;
  if (!HasWildcards(name)) return paths_.FirstFileNamed(split->folder, name);
  if (IsLinuxFile(JoinLinuxPath(split->folder, name))) return name;
  return FirstFileIn(split->folder, [&name](std::string_view candidate) {
    return MatchesWildcard(candidate, name);
  });
}

std::optional<FileStatus> LinuxFileSystem::StatusOf(std::string_view path,
                                                    bool follow_links) {
  // As written first, the common case and one system call; the case of
  // each name is looked up only when that finds nothing.
  const std::optional<std::string> written = paths_.AsWritten(path);
  if (!written) return std::nullopt;
  struct stat info;
  if (long_path::Stat(*written, &info, follow_links) != 0) {
    if (errno != ENOENT && errno != ENOTDIR) return std::nullopt;
    const std::optional<std::string> resolved = paths_.ToLinux(path);
    if (!resolved || *resolved == *written ||
        long_path::Stat(*resolved, &info, follow_links) != 0) {
      return std::nullopt;
    }
  }
  FileStatus status;
  if (S_ISLNK(info.st_mode)) {
    status.is_link = true;
    return status;
  }
  status.is_file = S_ISREG(info.st_mode);
  status.is_folder = S_ISDIR(info.st_mode);
  status.length = static_cast<int64_t>(info.st_size);
  status.modified = LocalTimeOf(info.st_mtime);
  status.version = VersionOf(info);
  return status;
}

std::optional<FileStatus> LinuxFileSystem::Status(std::string_view path) {
  return StatusOf(path, /*follow_links=*/true);
}

std::optional<FileStatus> LinuxFileSystem::EntryStatus(std::string_view path) {
  return StatusOf(path, /*follow_links=*/false);
}

bool LinuxFileSystem::Delete(std::string_view path) {
  const TouchWhenDone touch(paths_);
  const std::optional<std::string> linux_path = paths_.ToLinux(path);
  return linux_path && long_path::Unlink(*linux_path) == 0;
}

bool LinuxFileSystem::Rename(std::string_view from, std::string_view to) {
  const TouchWhenDone touch(paths_);
  const std::optional<std::string> source = paths_.ToLinux(from);
  const std::optional<std::string> target = paths_.ToLinux(to);
  return source && target && long_path::Rename(*source, *target) == 0;
}

bool LinuxFileSystem::Link(std::string_view from, std::string_view to) {
  const TouchWhenDone touch(paths_);
  const std::optional<std::string> source = paths_.ToLinux(from);
  const std::optional<std::string> target = paths_.ToLinux(to);
  return source && target && long_path::HardLink(*source, *target) == 0;
}

bool LinuxFileSystem::MakeFolder(std::string_view path) {
  const TouchWhenDone touch(paths_);
  const std::optional<std::string> linux_path = paths_.ToLinux(path);
  if (!linux_path) return false;
  const std::string& target = *linux_path;
  struct stat info;
  size_t slash = 0;
  do {
    slash = target.find('/', slash + 1);
    const std::string folder = target.substr(0, slash);
    if (long_path::Stat(folder, &info) == 0 && S_ISDIR(info.st_mode)) continue;
    if (long_path::MakeFolder(folder, 0777) != 0) return false;
  } while (slash != std::string::npos);
  return true;
}

bool LinuxFileSystem::CanMakeFilesIn(std::string_view path) {
  // With the effective rights, as the creation of a file would be judged.
  const std::optional<std::string> folder = paths_.ToLinux(path);
  return folder && long_path::Access(*folder, W_OK | X_OK) == 0;
}

std::optional<std::string> LinuxFileSystem::OwnTemporaryFolder(
    std::string_view path, std::string* in_the_way) {
  const std::optional<std::string> folder = paths_.ToLinux(path);
  struct stat info;
  if (!folder || stat(folder->c_str(), &info) != 0) return std::string(path);
  const uid_t self = geteuid();
  const bool shared =
      (info.st_mode & (S_IWGRP | S_IWOTH)) != 0 || info.st_uid != self;
  if (!shared) return std::string(path);
  // Named after the user, so that each user's runs share theirs.
  std::string own(path);
  if (own.empty() || own.back() != '\\') own.push_back('\\');
  own += "trovane-" + std::to_string(self);
  const std::string linux_own =
      JoinLinuxPath(*folder, own.substr(own.rfind('\\') + 1));
  const TouchWhenDone touch(paths_);
  mkdir(linux_own.c_str(), 0700);
  // Made by this user, or left from an earlier run of theirs; anything
  // else (another user's folder, a link, a file) is in the way.
  if (lstat(linux_own.c_str(), &info) != 0 || !S_ISDIR(info.st_mode) ||
      info.st_uid != self || (info.st_mode & 077) != 0) {
    *in_the_way = own;
    return std::nullopt;
  }
  return own;
}

UniqueFd LinuxFileSystem::Open(std::string_view path, int flags) {
  std::optional<TouchWhenDone> touch;
  if ((flags & O_CREAT) != 0) touch.emplace(paths_);
  // Not blocking: a FIFO at the name is refused below, never waited on.
  flags |= O_NONBLOCK;
  UniqueFd fd;
  const std::optional<std::string> written = paths_.AsWritten(path);
  if (!written) return fd;
  // A file that must be new is looked for without regard to case first.
  if ((flags & O_EXCL) == 0) {
    fd.Reset(long_path::Open(*written, flags & ~O_CREAT, 0666));
  }
  if (!fd.valid() && ((flags & O_EXCL) != 0 || errno == ENOENT)) {
    const std::optional<std::string> resolved = paths_.ToLinux(path);
    if (resolved) fd.Reset(long_path::Open(*resolved, flags, 0666));
  }
  // Only ordinary files are read or written: a folder, a device or a
  // socket at the name is a file that cannot be opened.
  struct stat info;
  if (fd.valid() && (fstat(fd.get(), &info) != 0 || !S_ISREG(info.st_mode))) {
    fd.Reset();
  }
  return fd;
}

std::unique_ptr<ReadableFile> LinuxFileSystem::OpenReadable(
    std::string_view path, OpenOptions options) {
  // Reading only, also where a missing file is to be made: a file opened
  // to be read tells nobody watching the folder that it was written.
  UniqueFd fd = Open(
      path, OpenFlags(options) | O_RDONLY | (options.create ? O_CREAT : 0));
  if (!fd.valid()) return nullptr;
  return LinuxFile::Take(std::move(fd), options.numbered ? &numbers_ : nullptr);
}

std::unique_ptr<WritableFile> LinuxFileSystem::OpenWritable(
    std::string_view path, WriteMode mode, OpenOptions options) {
  // A file held by its lock is emptied only once the lock is this one's:
  // truncated by the open, it would be cut under its holder's writes.
  const bool empty_after_lock = options.lock && mode == WriteMode::kReplace;
  int flags = OpenFlags(options) | O_CREAT | ModeFlags(mode);
  if (empty_after_lock) flags &= ~O_TRUNC;
  // A file written over is read back too, to leave alone what stays the
  // same; one that cannot be read is written all the same.
  bool compare = mode == WriteMode::kOverwrite;
  UniqueFd fd = Open(path, flags | (compare ? O_RDWR : O_WRONLY));
  if (compare && !fd.valid() && errno == EACCES) {
    compare = false;
    fd = Open(path, flags | O_WRONLY);
  }
  if (!fd.valid()) return nullptr;
  if (options.lock && (!WaitForFileLock(fd.get()) ||
                       (empty_after_lock && ftruncate(fd.get(), 0) != 0))) {
    return nullptr;
  }
  std::unique_ptr<LinuxFile> file =
      LinuxFile::Take(std::move(fd), options.numbered ? &numbers_ : nullptr);
  if (file && compare) file->LeaveSameBytesAlone();
  return file;
}

bool LinuxFileSystem::InUse(std::string_view path) {
  // Reading only: the question wakes no watch of the folder.
  const UniqueFd fd = Open(path, OpenFlags({.refuse_link = true}) | O_RDONLY);
  return fd.valid() && FileLockHeld(fd.get());
}

LockClaim LinuxFileSystem::ClaimSwap(std::string_view path) {
  const TouchWhenDone touch(paths_);
  // Every run names the swap file alike, so only its folder's case is
  // looked up: its own name, made and removed again and again, would have
  // the folder's names read anew each time.
  const std::optional<PathView::Split> split = paths_.SplitLast(path);
  if (!split) return {};
  return ClaimSwapFile(JoinLinuxPath(split->folder, split->name));
}

std::optional<std::string> LinuxFileSystem::FolderOf(
    std::string_view path) const {
  const std::optional<PathView::Split> split = paths_.SplitLast(path);
  if (!split) return std::nullopt;
  return split->folder;
}

LockClaim LinuxFileSystem::ClaimFolderLock(std::string_view path) {
  const std::optional<std::string> folder = FolderOf(path);
  if (!folder) return {};
  return ClaimFolder(*folder);
}

std::optional<std::string> LinuxFileSystem::LinkTarget(std::string_view path) {
  const std::optional<std::string> linux_path = paths_.ToLinux(path);
  if (!linux_path) return std::string(path);
  std::string target = *linux_path;
  struct stat info;
  if (long_path::Stat(target, &info, /*follow_links=*/false) != 0 ||
      !S_ISLNK(info.st_mode)) {
    return std::string(path);
  }
  // Every link's owner, to be the owner of what the last one leads to.
  std::vector<uid_t> owners;
  // As many links as the system itself would follow before giving up.
  while (S_ISLNK(info.st_mode)) {
    if (owners.size() == 40) return std::nullopt;
    owners.push_back(info.st_uid);
    std::string text(PATH_MAX, '\0');
    const ssize_t n = long_path::ReadLink(target, text.data(), text.size());
    if (n <= 0 || static_cast<size_t>(n) >= text.size()) return std::nullopt;
    text.resize(static_cast<size_t>(n));
    target =
        text.front() == '/' ? text : JoinLinuxPath(LinuxFolderOf(target), text);
    if (long_path::Stat(target, &info, /*follow_links=*/false) != 0) {
      return std::nullopt;
    }
  }
  if (!S_ISREG(info.st_mode)) return std::nullopt;
  for (const uid_t owner : owners) {
    if (owner != info.st_uid) return std::nullopt;
  }
  // The folder it lies in, as the system sees it once its own links and
  // ".." are taken out: the drive form must not read "..".
  const std::unique_ptr<char, decltype(&free)> real_folder(
      realpath(LinuxFolderOf(target).c_str(), nullptr), &free);
  if (real_folder) {
    target =
        JoinLinuxPath(real_folder.get(), target.substr(target.rfind('/') + 1));
  }
  return paths_.ToDriveForm(NormalizeLinuxPath(target));
}

bool LinuxFileSystem::CopyAttributes(std::string_view from,
                                     std::string_view to) {
  const std::optional<std::string> source = paths_.ToLinux(from);
  const std::optional<std::string> target = paths_.ToLinux(to);
  struct stat info;
  if (!source || !target || long_path::Stat(*source, &info) != 0) return false;
  // The owner first: giving a file away may clear its set-id bits, which
  // the permissions then put back.
  (void)!long_path::ChangeLinkOwner(*target, info.st_uid, info.st_gid);
  return long_path::ChangeMode(*target, info.st_mode & 07777) == 0;
}

bool LinuxFileSystem::SyncFolderOf(std::string_view path) {
  const std::optional<std::string> folder = FolderOf(path);
  if (!folder) return false;
  const UniqueFd fd(
      long_path::Open(*folder, O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  return fd.valid() && fsync(fd.get()) == 0;
}

std::unique_ptr<FolderWatch> LinuxFileSystem::WatchFolder(
    std::string_view path) {
  const std::optional<std::string> folder = paths_.ToLinux(path);
  if (!folder) return nullptr;
  return WatchLinuxFolder(*folder);
}

void LinuxFileSystem::LearnFolderNamesFrom(std::string_view disk_map) {
  // One index for each listing the batch wrote to the map, the first
  // missing one ending the row.
  constexpr int kMostListings = 64;
  LinuxIndexFiles index_files(paths_);
  std::vector<std::unique_ptr<PastIndex>> indexes;
  for (int ordinal = 1; ordinal <= kMostListings; ++ordinal) {
    std::unique_ptr<PastIndex> index =
        PastIndex::OpenOfAnyFolder(index_files.OpenLast(disk_map, ordinal));
    if (!index) break;
    indexes.push_back(std::move(index));
  }
  paths_.UseListingIndexes(std::move(indexes));
}

std::optional<std::string> LinuxFileSystem::SystemPath(std::string_view path) {
  return paths_.ToLinux(path);
}

}  // namespace trovane
