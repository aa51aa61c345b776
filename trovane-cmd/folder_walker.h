// The walk behind "Dir PATH /s /b": every entry below a folder, depth
// first, each folder's entries in listing order before its subfolders are
// entered one by one. Memory grows with the depth of the tree and the size
// of its largest folder, never with the size of the whole tree.
#ifndef TROVANE_TROVANE_CMD_FOLDER_WALKER_H_
#define TROVANE_TROVANE_CMD_FOLDER_WALKER_H_

#include <string>

#include "trovane-cmd/listing_writer.h"
#include "trovane-cmd/name_filter.h"
#include "trovane-cmd/pseudo_mounts.h"

namespace trovane {

struct ListingRequest {
  // The Linux folder to list; a symbolic link here is followed, since it
  // is the folder the batch asked for.
  std::string folder;
  // What each line starts with: the folder as the batch wrote it, in drive
  // form, without a trailing "\".
  std::string shown_folder;
  // Which entries get a line; every visible folder is entered all the same.
  NameFilter filter;
};

// Writes a line for every matching entry below the request's folder.
// Hidden entries are neither listed nor entered, symbolic links are listed
// but never followed, pseudo file systems are listed but not entered, and
// a folder that cannot be read is passed over.
void ListFolderTree(const ListingRequest& request,
                    const PseudoMounts& pseudo_mounts, ListingWriter* out);

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_FOLDER_WALKER_H_
