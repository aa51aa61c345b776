// What tells a folder's state apart cheaply: which folder it is, and when
// it or its entries last changed. A listing's index keeps each folder's
// entries under the stamp the folder had when they were read, and a folder
// whose stamp has not moved since still holds them.
#ifndef TROVANE_PLATFORM_FOLDER_STAMP_H_
#define TROVANE_PLATFORM_FOLDER_STAMP_H_

#include <cstdint>

namespace trovane {

struct FolderStamp {
  uint64_t volume = 0;      // the file system it lies on
  uint64_t id = 0;          // the folder on that file system
  int64_t changed_ns = 0;   // the last change of the folder itself
  int64_t modified_ns = 0;  // the last change of its entries
  // True when these times move whenever the folder's visible entries do:
  // its file system keeps them faithfully, and nothing else (a pseudo file
  // system mounted below it) decides which of its entries are entered. Only
  // then may the stamp stand for the entries of an earlier listing.
  bool stands_for_entries = false;
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_FOLDER_STAMP_H_
