#include "trovane-cmd/linux/linux_folder_reader.h"

#include <dirent.h>
#include <fcntl.h>
#include <linux/openat2.h>
#include <stdlib.h>
#include <sys/stat.h>
#include <sys/syscall.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <optional>
#include <string_view>

#include "platform/linux/folder_times.h"
#include "platform/linux/long_path.h"
#include "platform/linux/unique_fd.h"

namespace trovane {
namespace {

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
// Each read asks for at least this much room; a folder whose records
// outgrow the listing's store makes it grow.
constexpr size_t kLeastRoom = size_t{16} << 10;

// The kernel's record layout for getdents64: inode, offset, record length,
// type, then the NUL-terminated name.
constexpr size_t kRecordLengthAt = offsetof(dirent64, d_reclen);
constexpr size_t kTypeAt = offsetof(dirent64, d_type);
constexpr size_t kNameAt = offsetof(dirent64, d_name);

// Opens the folder at the relative `path` below `at` without following a
// symbolic link anywhere on the way, where the kernel can be asked to
// (openat2, Linux 5.6 on); before that, only the last name is guarded.
int OpenWithoutLinks(int at, const char* path) {
  static std::atomic<bool> has_openat2{true};
  if (has_openat2.load(std::memory_order_relaxed)) {
    open_how how{};
    how.flags = kFolderFlags;
    how.resolve = RESOLVE_NO_SYMLINKS;
    const int64_t fd = syscall(SYS_openat2, at, path, &how, sizeof how);
    if (fd >= 0 || errno != ENOSYS) return static_cast<int>(fd);
    has_openat2.store(false, std::memory_order_relaxed);
  }
  return openat(at, path, kFolderFlags | O_NOFOLLOW);
}

// The path the mount table uses for `folder`; the root becomes empty so
// that every name is appended as "/" name.
std::string CanonicalPath(const std::string& folder) {
  std::unique_ptr<char, decltype(&free)> real(realpath(folder.c_str(), nullptr),
                                              free);
  std::string path = real ? std::string(real.get()) : folder;
  if (path == "/") path.clear();
  return path;
}

bool IsFolderByStat(int fd, const char* name) {
  struct stat info;
  return fstatat(fd, name, &info, AT_SYMLINK_NOFOLLOW) == 0 &&
         S_ISDIR(info.st_mode);
}

}  // namespace

class LinuxFolder : public FolderReader::Folder {
 public:
  ~LinuxFolder() override {
    if (deep_anchors != nullptr) deep_anchors->fetch_sub(1);
  }

  UniqueFd fd;
  struct stat info {};
  size_t depth = 0;
  // Once the folder gives up its descriptor: the nearest folder above that
  // holds one, and the names from there to here joined with "/".
  std::shared_ptr<LinuxFolder> anchor;
  std::string from_anchor;
  // The canonical Linux path, kept only while a pseudo file system's mount
  // point lies below it; then its subfolders are checked against them.
  bool leads_to_pseudo_mount = false;
  std::string path;
  // Set while a deep folder keeps its descriptor for the levels below.
  std::atomic<int>* deep_anchors = nullptr;
};

FolderReader::FolderPtr LinuxFolderReader::OpenStart(const std::string& path) {
  const std::optional<std::string> linux_path = paths_.ToLinux(path);
  if (!linux_path) return nullptr;
  auto folder = std::make_shared<LinuxFolder>();
  folder->fd = UniqueFd(open(linux_path->c_str(), kFolderFlags));
  if (!folder->fd.valid() || fstat(folder->fd.get(), &folder->info) != 0 ||
      pseudo_mounts_.IsPseudoDevice(folder->info.st_dev)) {
    return nullptr;
  }
  folder->path = CanonicalPath(*linux_path);
  folder->leads_to_pseudo_mount =
      pseudo_mounts_.HasMountPointBelow(folder->path);
  if (!folder->leads_to_pseudo_mount) folder->path.clear();
  return folder;
}

FolderReader::FolderPtr LinuxFolderReader::OpenSubfolder(
    const FolderPtr& parent_folder, const char* name) {
  const auto parent = std::static_pointer_cast<LinuxFolder>(parent_folder);
  auto folder = std::make_shared<LinuxFolder>();
  folder->depth = parent->depth + 1;
  if (parent->fd.valid()) {
    folder->fd =
        UniqueFd(openat(parent->fd.get(), name, kFolderFlags | O_NOFOLLOW));
    if (folder->depth >= kHeldDepth) {
      folder->anchor = parent;
      folder->from_anchor = name;
    }
  } else {
    folder->anchor = parent->anchor;
    folder->from_anchor = parent->from_anchor + "/" + name;
    // A path that may be longer than the system takes at once.
    folder->fd = long_path::OpenInPieces(folder->anchor->fd.get(),
                                         folder->from_anchor, OpenWithoutLinks);
  }
  if (!folder->fd.valid() || fstat(folder->fd.get(), &folder->info) != 0 ||
      pseudo_mounts_.IsPseudoDevice(folder->info.st_dev)) {
    return nullptr;
  }
  if (parent->leads_to_pseudo_mount) {
    folder->path = parent->path + "/" + name;
    folder->leads_to_pseudo_mount =
        pseudo_mounts_.HasMountPointBelow(folder->path);
    if (!folder->leads_to_pseudo_mount) folder->path.clear();
  }
  return folder;
}

bool LinuxFolderReader::Read(Folder& opened, FolderListing* listing) {
  auto& folder = static_cast<LinuxFolder&>(opened);
  const int fd = folder.fd.get();
  std::string entry_path;
  for (;;) {
    const std::span<char> room = listing->Room(kLeastRoom);
    const ssize_t got = getdents64(fd, room.data(), room.size());
    if (got == 0) break;
    if (got < 0 && errno == EINTR) continue;
    if (got < 0) {
      listing->Clear();
      return false;
    }
    const size_t start = static_cast<size_t>(room.data() - listing->store());
    listing->Keep(static_cast<size_t>(got));
    const char* records = listing->store();
    for (size_t offset = start; offset < start + static_cast<size_t>(got);) {
      const char* record = records + offset;
      uint16_t record_length;
      std::memcpy(&record_length, record + kRecordLengthAt,
                  sizeof record_length);
      if (record_length == 0) {
        listing->Clear();
        return false;
      }
      const char* name = record + kNameAt;
      const size_t name_size = strnlen(name, record_length - kNameAt);
      offset += record_length;
      if (IsHiddenName(std::string_view(name, name_size))) continue;
      const unsigned char type = static_cast<unsigned char>(record[kTypeAt]);
      bool is_folder =
          type == DT_DIR || (type == DT_UNKNOWN && IsFolderByStat(fd, name));
      if (is_folder && folder.leads_to_pseudo_mount) {
        entry_path.assign(folder.path).append("/").append(name, name_size);
        is_folder = !pseudo_mounts_.IsPseudoMountPoint(entry_path);
      }
      listing->AddStored(static_cast<size_t>(name - records), name_size,
                         is_folder);
    }
  }
  DoneReading(&folder);
  return true;
}

void LinuxFolderReader::ReadElsewhere(Folder& folder) {
  DoneReading(&static_cast<LinuxFolder&>(folder));
}

void LinuxFolderReader::DoneReading(LinuxFolder* folder) {
  if (folder->depth >= kHeldDepth && !KeepAsDeepAnchor(folder)) {
    folder->fd.Reset();
  }
}

bool LinuxFolderReader::KeepAsDeepAnchor(LinuxFolder* folder) {
  if ((folder->depth + 1) % kHeldDepth != 0) return false;
  if (deep_anchors_.fetch_add(1) >= most_deep_anchors_) {
    deep_anchors_.fetch_sub(1);
    return false;
  }
  folder->deep_anchors = &deep_anchors_;
  return true;
}

FolderStamp LinuxFolderReader::Stamp(const Folder& opened) const {
  const auto& folder = static_cast<const LinuxFolder&>(opened);
  // Below a pseudo file system's mount point the mount table decides which
  // entries are entered, and it changes with no folder's times.
  return StampOf(folder.info,
                 !folder.leads_to_pseudo_mount &&
                     KeepsTimes(folder.info.st_dev, folder.fd.get()));
}

std::optional<FolderStamp> LinuxFolderReader::PeekSubfolder(
    const FolderPtr& parent_folder, const char* name) {
  const auto& parent = static_cast<const LinuxFolder&>(*parent_folder);
  if (!parent.fd.valid() || parent.leads_to_pseudo_mount) return std::nullopt;
  struct stat info;
  // Only the user's own folders that the user may read are told from
  // their stamp alone: whether anyone else's opens depends on the groups
  // this process is in, or on an access list, and no stamp shows either. A
  // volume whose file system is not known yet is asked once it is opened.
  if (fstatat(parent.fd.get(), name, &info, AT_SYMLINK_NOFOLLOW) != 0 ||
      !S_ISDIR(info.st_mode) || info.st_uid != user_ ||
      (info.st_mode & S_IRUSR) == 0 ||
      pseudo_mounts_.IsPseudoDevice(info.st_dev) ||
      !KeepsTimes(info.st_dev, /*fd=*/-1)) {
    return std::nullopt;
  }
  return StampOf(info, /*stands_for_entries=*/true);
}

bool LinuxFolderReader::KeepsTimes(dev_t volume, int fd) const {
  std::lock_guard<std::mutex> lock(volumes_mutex_);
  const auto known =
      std::find_if(volumes_.begin(), volumes_.end(),
                   [volume](const auto& seen) { return seen.first == volume; });
  if (known != volumes_.end()) return known->second;
  struct statfs file_system;
  if (fd < 0 || fstatfs(fd, &file_system) != 0) return false;
  const bool keeps = KeepsFolderTimes(file_system);
  volumes_.emplace_back(volume, keeps);
  return keeps;
}

}  // namespace trovane
