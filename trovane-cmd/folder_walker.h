// The walk behind "Dir PATH /s /b": every entry below a folder, depth
// first, each folder's entries in listing order before its subfolders are
// entered one by one.
//
// A few threads open, read, sort and format folders ahead of need, in
// listing order as far as it is known, while the calling thread writes the
// lines of each folder in turn: the disk is kept busy with several reads
// at once (on a slow disk the threads wait on it, not on the processor),
// and the order and the bytes of the listing are those of a walk one folder
// at a time. Memory grows with the depth of the tree and the size of its
// largest folder, and with the bounds on reading ahead, never with the size
// of the whole tree.
#ifndef TROVANE_TROVANE_CMD_FOLDER_WALKER_H_
#define TROVANE_TROVANE_CMD_FOLDER_WALKER_H_

#include <cstddef>
#include <string>

#include "platform/past_index.h"
#include "trovane-cmd/folder_reader.h"
#include "trovane-cmd/index_recorder.h"
#include "trovane-cmd/listing_sink.h"
#include "trovane-cmd/name_filter.h"

namespace trovane {

struct ListingRequest {
  // The folder to list, absolute in drive form, as the reader opens it; a
  // symbolic link here is followed, since it is the folder the batch asked
  // for.
  std::string folder;
  // What each line starts with: the folder as the batch wrote it, in drive
  // form, without a trailing "\".
  std::string shown_folder;
  // Which entries get a line; every visible folder is entered all the same.
  NameFilter filter;
};

struct WalkLimits {
  // The threads that read folders, at most. The walk starts with as many as
  // the processor runs at once, and starts more once reading a folder is
  // seen to wait on the disk: on a slow disk the threads wait rather than
  // compute, and more of them keep it busy; on a fast one, threads beyond
  // the processor's only take turns. Where the system cannot tell a
  // thread's waits, every reader starts at once.
  size_t readers = 16;
  // At most this many folders are being read or wait to be written ...
  size_t folders_ahead = 256;
  // ... and no read starts while the lines waiting take this many bytes:
  // enough for the readers to keep ahead of the writing. More saves no
  // wait, and costs a page fault for every page of it the first time it is
  // filled: a repeat listing from the index took a tenth longer with 16 MiB.
  size_t bytes_ahead = size_t{2} << 20;
};

// The indexes of the last listing of the same folder and of this one; the
// walk goes without either.
struct WalkIndex {
  // A folder whose stamp has not moved since takes its entries from here.
  // Every folder is still stamped, from the start folder down, so a change
  // anywhere is seen; only its reading is saved, and the opening of those
  // that hold no folder.
  const PastIndex* past = nullptr;
  // Gets the record of every folder read whose stamp stands for its
  // entries, in listing order.
  IndexRecorder* next = nullptr;
  // What the paths the lines are shown under are summed with, for the
  // placements of both indexes.
  uint64_t shown_key = 0;
  // True when the disk map written holds, byte for byte, what the listing
  // that wrote `past` left in it (its version says so): a folder taken
  // from `past` whose lines come where and as they came then is passed
  // over, not compared.
  bool map_as_past_left_it = false;
};

struct WalkResult {
  // False when `out` failed and the walk stopped there.
  bool written = true;
  // The names passed over, neither listed nor entered, because no drive
  // path can hold them.
  size_t passed_over = 0;
};

// Writes a line for every matching entry below the request's folder to
// `out`. Hidden entries are neither listed nor entered, symbolic links are
// listed but never followed, folders the reader does not take as such
// (pseudo file systems) are listed but not entered, a folder that cannot
// be read is passed over, and so is a name no drive path can hold.
WalkResult ListFolderTree(const ListingRequest& request, FolderReader* reader,
                          ListingSink* out, const WalkLimits& limits = {},
                          const WalkIndex& index = {});

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_FOLDER_WALKER_H_
