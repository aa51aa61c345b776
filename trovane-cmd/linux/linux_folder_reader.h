// Folders read the Linux way: the starting folder opened by the Linux path
// of its drive-form path, each name's case looked up, and every other
// folder opened relative to its parent's descriptor (never through a symbolic
// link), read with getdents64 in large reads, the entry type taken from the
// folder itself (a stat only on file systems that do not record it). Pseudo
// file systems are listed but not entered, as the mount table tells.
//
// Descriptors stay bounded however deep the tree: folders this deep and
// deeper give theirs up once read, and their subfolders are opened from
// the deepest folder above that still holds one, by the names in between,
// in pieces that each stay below the system's limit on a path. So that a
// very deep tree is not opened by ever longer paths, every folder a
// multiple of that depth further down keeps its descriptor for the levels
// below it, as long as few enough of them do.
#ifndef TROVANE_TROVANE_CMD_LINUX_LINUX_FOLDER_READER_H_
#define TROVANE_TROVANE_CMD_LINUX_LINUX_FOLDER_READER_H_

#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <atomic>
#include <cstddef>
#include <mutex>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/linux/path_view.h"
#include "trovane-cmd/folder_reader.h"
#include "trovane-cmd/linux/pseudo_mounts.h"

namespace trovane {

class LinuxFolder;

class LinuxFolderReader : public FolderReader {
 public:
  static constexpr size_t kHeldDepth = 64;
  static constexpr int kDeepAnchors = 64;

  // The starting folder's path is turned into a Linux path through
  // `paths`. At most `deep_anchors` deep folders keep their descriptor at
  // once.
  LinuxFolderReader(PathView paths, PseudoMounts pseudo_mounts,
                    int deep_anchors = kDeepAnchors)
      : paths_(std::move(paths)),
        pseudo_mounts_(std::move(pseudo_mounts)),
        most_deep_anchors_(deep_anchors) {}

  FolderPtr OpenStart(const std::string& path) override;
  FolderPtr OpenSubfolder(const FolderPtr& parent, const char* name) override;
  bool Read(Folder& folder, FolderListing* listing) override;
  // A stamp stands for the entries only on the file systems known to keep
  // a folder's times faithfully (ext4, xfs, btrfs, tmpfs), asked once for
  // each volume: network and foreign file systems may keep them coarsely,
  // late or not at all.
  FolderStamp Stamp(const Folder& folder) const override;
  std::optional<FolderStamp> PeekSubfolder(const FolderPtr& parent,
                                           const char* name) override;
  void ReadElsewhere(Folder& folder) override;

 private:
  // True when the deep folder just read keeps its descriptor.
  bool KeepAsDeepAnchor(LinuxFolder* folder);
  // What a folder lets go of once its entries are known.
  void DoneReading(LinuxFolder* folder);
  // Whether the file system of the open folder `fd`, on `volume`, keeps
  // folder times faithfully; without a folder (`fd` -1), false for a
  // volume not met before.
  bool KeepsTimes(dev_t volume, int fd) const;

  const uid_t user_ = geteuid();
  const PathView paths_;
  PseudoMounts pseudo_mounts_;
  const int most_deep_anchors_;
  // The deep folders that keep their descriptor for the levels below.
  std::atomic<int> deep_anchors_{0};
  // The volumes met so far and whether their times are kept faithfully.
  mutable std::mutex volumes_mutex_;
  mutable std::vector<std::pair<dev_t, bool>> volumes_;
};

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_LINUX_LINUX_FOLDER_READER_H_
