// Folders read the Windows way: each folder by its whole "\\?\" path (so a
// tree runs as deep as the file system lets it, past 260 characters), the
// starting folder's made from its drive-form path, every other folder's
// from its parent's and its name. A folder is read with FindFirstFileExW
// in large fetches, without short names, the attributes coming with each
// name: no call per entry.
//
// Hidden entries are those with the hidden or the system attribute. A link
// or a junction (a reparse point that stands for another name) is listed
// but never entered, as links are not on Linux; a name the ANSI code page
// cannot write is passed over like a name no drive path can hold, since the
// program could never name that file again.
#ifndef TROVANE_TROVANE_CMD_WINDOWS_WINDOWS_FOLDER_READER_H_
#define TROVANE_TROVANE_CMD_WINDOWS_WINDOWS_FOLDER_READER_H_

#include <string>
#include <utility>

#include "trovane-cmd/folder_reader.h"

namespace trovane {

class WindowsFolderReader : public FolderReader {
 public:
  // A relative starting path is taken from `current_folder`, absolute in
  // drive form.
  explicit WindowsFolderReader(std::string current_folder)
      : current_folder_(std::move(current_folder)) {}

  FolderPtr OpenStart(const std::string& path) override;
  FolderPtr OpenSubfolder(const FolderPtr& parent, const char* name) override;
  bool Read(Folder& folder, FolderListing* listing) override;
  // Asks the system only when called: the listing itself never needs it.
  FolderStamp Stamp(const Folder& folder) const override;

 private:
  const std::string current_folder_;
};

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_WINDOWS_WINDOWS_FOLDER_READER_H_
