// The second half of a listing, run on a thread of its own: sorting each
// folder's entries and writing its lines, while the walk goes on reading
// the next folders. Reading a folder is mostly the kernel's work and
// sorting and writing it mostly ours, so on a machine with two cores the
// two halves overlap. Folders are written in the order they are added,
// which is the order of the listing.
#ifndef TROVANE_TROVANE_CMD_LISTING_EMITTER_H_
#define TROVANE_TROVANE_CMD_LISTING_EMITTER_H_

#include <array>
#include <condition_variable>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "trovane-cmd/folder_listing.h"
#include "trovane-cmd/listing_writer.h"
#include "trovane-cmd/name_filter.h"

namespace trovane {

// Folders on their way to the disk map, one after the other: their entries
// as read, and what the lines of each start with. Small folders travel
// together, since handing each over on its own would cost more than
// listing it.
struct FolderBatch {
  struct Folder {
    size_t entries_end;
    size_t shown_end;
  };

  FolderListing listing;
  std::string shown_folders;
  std::vector<Folder> folders;
};

class ListingEmitter {
 public:
  // Writes the entries that `filter` matches to `out`; both must outlive
  // the emitter.
  ListingEmitter(const NameFilter& filter, ListingWriter* out);
  ListingEmitter(const ListingEmitter&) = delete;
  ListingEmitter& operator=(const ListingEmitter&) = delete;
  // Finishes.
  ~ListingEmitter();

  // The batch to append the next folder's entries to. Waits while every
  // batch is on its way, which bounds how far the walk runs ahead.
  FolderBatch* Filling();

  // Records that the entries appended to the filling batch since the last
  // folder are a folder whose lines start with `shown_folder`.
  void AddFolder(std::string_view shown_folder);

  // Waits until every folder added is written to the writer.
  void Finish();

 private:
  static constexpr size_t kBatches = 8;
  // A batch is handed over once its names take this many bytes.
  static constexpr size_t kBatchBytes = size_t{32} << 10;

  void Submit(FolderBatch* batch);
  void EmitBatches();
  void Emit(FolderBatch* batch);

  const NameFilter& filter_;
  ListingWriter* out_;
  std::array<FolderBatch, kBatches> batches_;
  FolderBatch* filling_ = nullptr;  // the walk's own

  // Shared between the walk and the emitting thread.
  std::mutex mutex_;
  std::condition_variable work_;   // for the emitting thread
  std::condition_variable space_;  // for the walk
  std::vector<FolderBatch*> free_;
  std::vector<FolderBatch*> submitted_;
  bool emitter_waiting_ = false;
  bool walk_waiting_ = false;
  bool finishing_ = false;
  std::thread thread_;
};

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_LISTING_EMITTER_H_
