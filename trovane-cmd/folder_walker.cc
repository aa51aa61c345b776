#include "trovane-cmd/folder_walker.h"

#include <fcntl.h>
#include <stdlib.h>
#include <sys/stat.h>

#include <memory>
#include <vector>

#include "platform/linux/unique_fd.h"
#include "trovane-cmd/folder_listing.h"
#include "trovane-cmd/listing_emitter.h"

namespace trovane {
namespace {

// Folders this deep and deeper give up their descriptor once read, so that
// a pathologically deep tree cannot run the process out of descriptors;
// their subfolders are then opened from the deepest folder still held.
constexpr size_t kHeldFolders = 64;

constexpr int kFolderFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;

// One folder on the way down: its subfolders in listing order, how far they
// have been entered, and how long both paths were at this folder.
struct Frame {
  UniqueFd fd;
  FolderListing subfolders;
  size_t next_entry = 0;
  size_t shown_size = 0;
  size_t linux_size = 0;
};

class Walk {
 public:
  Walk(const ListingRequest& request, const PseudoMounts& pseudo_mounts,
       ListingWriter* out)
      : request_(request),
        pseudo_mounts_(pseudo_mounts),
        emitter_(request.filter, out) {}

  void Run() {
    UniqueFd start(open(request_.folder.c_str(), kFolderFlags));
    if (!start.valid()) {
      return;
    }
    struct stat info;
    if (fstat(start.get(), &info) != 0 ||
        pseudo_mounts_.IsPseudoDevice(info.st_dev)) {
      return;
    }
    shown_path_ = request_.shown_folder;
    linux_path_ = CanonicalPath(request_.folder);
    if (!Enter(std::move(start))) {
      return;
    }
    while (depth_ > 0) {
      Step();
    }
  }

 private:
  // The path the mount table uses for `folder`; the root becomes empty so
  // that every name is appended as "/" name.
  static std::string CanonicalPath(const std::string& folder) {
    std::unique_ptr<char, decltype(&free)> real(
        realpath(folder.c_str(), nullptr), free);
    std::string path = real ? std::string(real.get()) : folder;
    if (path == "/") {
      path.clear();
    }
    return path;
  }

  // Reads the folder just opened as the next frame and passes its entries
  // on to be listed. False when it cannot be read.
  bool Enter(UniqueFd fd) {
    if (frames_.size() == depth_) {
      frames_.push_back(std::make_unique<Frame>());
    }
    Frame& frame = *frames_[depth_];
    FolderListing& batch_listing = emitter_.Filling()->listing;
    const size_t first = batch_listing.entries().size();
    if (!batch_listing.Append(fd.get())) {
      return false;
    }
    frame.subfolders.CopyFoldersOf(batch_listing, first);
    emitter_.AddFolder(shown_path_);
    frame.subfolders.Sort(0, frame.subfolders.entries().size());
    frame.next_entry = 0;
    frame.shown_size = shown_path_.size();
    frame.linux_size = linux_path_.size();
    frame.fd = depth_ < kHeldFolders ? std::move(fd) : UniqueFd();
    ++depth_;
    return true;
  }

  // Enters the next subfolder of the deepest frame, or leaves that frame
  // when all of its subfolders are done.
  void Step() {
    Frame& frame = *frames_[depth_ - 1];
    const auto entries = frame.subfolders.entries();
    if (frame.next_entry == entries.size()) {
      frame.fd.Reset();
      --depth_;
      return;
    }
    const FolderListing::Entry& entry = entries[frame.next_entry++];
    const std::string_view name = frame.subfolders.Name(entry);
    shown_path_.resize(frame.shown_size);
    shown_path_.push_back('\\');
    shown_path_.append(name);
    linux_path_.resize(frame.linux_size);
    linux_path_.push_back('/');
    linux_path_.append(name);
    if (pseudo_mounts_.IsPseudoMountPoint(linux_path_)) {
      return;
    }
    UniqueFd child = OpenSubfolder(frame, frame.subfolders.NameForOpen(entry));
    if (child.valid()) {
      Enter(std::move(child));
    }
  }

  // Opens a subfolder of `frame` without following a symbolic link in its
  // place. A frame that has given up its descriptor is reached from the
  // deepest frame that still holds one, by the names in between.
  UniqueFd OpenSubfolder(const Frame& frame, const char* name) const {
    if (frame.fd.valid()) {
      return UniqueFd(openat(frame.fd.get(), name, kFolderFlags | O_NOFOLLOW));
    }
    const Frame& held = *frames_[kHeldFolders - 1];
    const std::string relative = linux_path_.substr(held.linux_size + 1);
    return UniqueFd(
        openat(held.fd.get(), relative.c_str(), kFolderFlags | O_NOFOLLOW));
  }

  const ListingRequest& request_;
  const PseudoMounts& pseudo_mounts_;
  ListingEmitter emitter_;
  std::vector<std::unique_ptr<Frame>> frames_;
  size_t depth_ = 0;
  std::string shown_path_;
  std::string linux_path_;
};

}  // namespace

void ListFolderTree(const ListingRequest& request,
                    const PseudoMounts& pseudo_mounts, ListingWriter* out) {
  Walk(request, pseudo_mounts, out).Run();
}

}  // namespace trovane
