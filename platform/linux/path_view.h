// The program's view of the disk through drive-form paths: the drive table
// and the current folder turn a path into a Linux path, and names that do
// not exist with the exact case given are looked up without regard to case,
// so that a path the program has upper-cased still names the real file.
#ifndef TROVANE_PLATFORM_PATH_VIEW_H_
#define TROVANE_PLATFORM_PATH_VIEW_H_

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "platform/linux/drive_map.h"
#include "platform/linux/folder_names.h"

namespace trovane {

class PathView {
 public:
  PathView(DriveMap drives, std::string current_folder);

  // Keeps the names of the folders looked up in from now on (see
  // FolderNames), for a view that looks up many paths in the same folders.
  // Copies of the view share what is kept.
  void KeepFolderNames();

  // Notes that this process changed something on the disk, so that kept
  // folder names take it in at the next look-up.
  void Touched() const { folder_names_->Touched(); }

  // Look-ups without regard to case may take the names of folders
  // unchanged since from these indexes of earlier listings (see
  // FolderNames). Copies of the view share them.
  void UseListingIndexes(
      std::vector<std::unique_ptr<PastIndex>> indexes) const {
    folder_names_->UseIndexes(std::move(indexes));
  }

  // The Linux path of `path`. Each name that does not exist with its exact
  // case is replaced by the first name of that folder, in byte order, that
  // equals it without regard to case; a name that matches nothing keeps the
  // case given (so new files are created as written). Empty for a path on an
  // unmapped drive.
  std::optional<std::string> ToLinux(std::string_view path) const;

  // The Linux path of `path` with every name exactly as written, without
  // looking at the disk: what ToLinux() gives whenever that path exists.
  std::optional<std::string> AsWritten(std::string_view path) const;

  // The folder part and the last name of `path` as Linux paths, the folder
  // resolved like ToLinux() and the last name as given: for callers that
  // look at the last name themselves (wildcards, links).
  struct Split {
    std::string folder;
    std::string name;
  };
  std::optional<Split> SplitLast(std::string_view path) const;

  // The file probe's look-up of a plain name in a Linux folder: the name
  // itself when it exists as an ordinary file, else the first name in byte
  // order that equals it without regard to case and is an ordinary file;
  // empty when there is none. Symbolic links are followed.
  std::string FirstFileNamed(const std::string& folder,
                             std::string_view name) const;

  std::string ToDriveForm(std::string_view linux_path) const {
    return drives_.ToDriveForm(linux_path);
  }

  const DriveMap& drives() const { return drives_; }
  const std::string& current_folder() const { return current_folder_; }

 private:
  // `path` walked name by name from its root, the case of each name that
  // does not exist as given looked up.
  std::string Resolve(const LinuxPath& path) const;
  // The name in `folder` that `name` stands for: itself when it exists as
  // written, else the first in byte order that equals it without regard to
  // case; nothing when there is none.
  std::optional<std::string> NameIn(const std::string& folder,
                                    std::string_view name) const;

  DriveMap drives_;
  std::string current_folder_;
  std::shared_ptr<FolderNames> folder_names_;  // none unless kept
};

// A hidden name begins with "."; the file probe never finds it and a
// listing neither shows nor enters it.
inline bool IsHiddenName(std::string_view name) {
  return !name.empty() && name.front() == '.';
}

}  // namespace trovane

#endif  // TROVANE_PLATFORM_PATH_VIEW_H_
