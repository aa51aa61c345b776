// How a listing reads the disk: one folder at a time, behind an interface
// of its own, so that the walk does no system call itself and each system
// reads folders its own way (Linux: openat and getdents64 on descriptors).
// Only the starting folder is named by a path, in drive form; every other
// folder is opened by its name from its parent.
//
// A reader is used by several threads at once: any number of folders may
// be opened and read side by side, subfolders of one folder included.
#ifndef TROVANE_TROVANE_CMD_FOLDER_READER_H_
#define TROVANE_TROVANE_CMD_FOLDER_READER_H_

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "platform/folder_stamp.h"
#include "trovane-cmd/folder_listing.h"

namespace trovane {

class FolderReader {
 public:
  // An open folder, whatever the reader holds for it. It is let go of when
  // the last of its owners is, and a reader may keep it (or what it holds)
  // while subfolders opened from it are still open.
  class Folder {
   public:
    virtual ~Folder() = default;
  };
  using FolderPtr = std::shared_ptr<Folder>;

  virtual ~FolderReader() = default;

  // The folder a listing starts from, by its absolute path in drive form
  // ("." and ".." taken out by the names, never above the drive's root,
  // each name found without regard to case); a symbolic link is followed
  // there, since it is the folder asked for. Null when it cannot be opened
  // or is not to be read at all (on an unmapped drive, a folder of a pseudo
  // file system).
  virtual FolderPtr OpenStart(const std::string& path) = 0;

  // The subfolder `name` (NUL-terminated) of `parent`, never through a
  // symbolic link. Null when it cannot be opened.
  virtual FolderPtr OpenSubfolder(const FolderPtr& parent,
                                  const char* name) = 0;

  // Appends the folder's visible entries to `listing`: hidden ones are
  // left out, and only the folders the walk is to enter count as folders.
  // False when the folder cannot be read; the listing is empty then. Each
  // folder is read once, before any subfolder of it is opened.
  virtual bool Read(Folder& folder, FolderListing* listing) = 0;

  // Taken from what opening the folder found out, so it is to be asked
  // before the folder is read.
  virtual FolderStamp Stamp(const Folder& folder) const = 0;

  // The stamp of the subfolder `name` of `parent`, told without opening
  // it, never through a symbolic link; nothing when it cannot be told so,
  // or when the folder might not open for the walk as it is (then it is
  // opened to be stamped). A folder whose entries come from an earlier
  // listing's index and that holds no folder to enter is then never
  // opened at all.
  virtual std::optional<FolderStamp> PeekSubfolder(const FolderPtr& /*parent*/,
                                                   const char* /*name*/) {
    return std::nullopt;
  }

  // The folder's entries were taken from elsewhere (an earlier listing's
  // index): it will not be read, and whatever reading it would have let go
  // of is let go of now.
  virtual void ReadElsewhere(Folder& /*folder*/) {}
};

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_FOLDER_READER_H_
