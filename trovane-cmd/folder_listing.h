// The visible entries of one folder, as a folder reader found them, put in
// listing order. This is the inner loop of a whole-disk listing, so it does
// no allocation per entry: names stay in one store, where a reader may even
// read them in place with the records around them, and most comparisons of
// the sort are one or two integer comparisons.
#ifndef TROVANE_TROVANE_CMD_FOLDER_LISTING_H_
#define TROVANE_TROVANE_CMD_FOLDER_LISTING_H_

#include <cstddef>
#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace trovane {

class FolderListing {
 public:
  struct Entry {
    // The first sixteen bytes of the upper-cased name, big-endian, in two
    // halves: names that share a long start ("Report 2024 ...") are still
    // told apart by integer comparisons. Made by Sort().
    uint64_t order_key;
    uint64_t order_key_rest;
    uint32_t name_offset;
    uint16_t name_size;
    // A folder the walk enters: a real one, not a symbolic link to one and
    // not the mount point of a pseudo file system.
    bool is_folder;
  };

  void Clear();

  // At least `size` bytes of room at the end of the store, for a reader
  // that reads a folder's records, names inside, straight into it. The
  // room is only valid until the next call that adds to the store.
  std::span<char> Room(size_t size);
  // The first `size` bytes of the room now belong to the store.
  void Keep(size_t size);
  // The store, for a reader that looks at the names it has kept.
  const char* store() const { return store_.data(); }

  // Takes the name of `size` bytes at `offset` in the store, followed there
  // by a NUL, as an entry. A name that no drive path can hold is counted
  // and left out.
  void AddStored(size_t offset, size_t size, bool is_folder);
  // The same for a name that is not in the store yet.
  void Add(std::string_view name, bool is_folder);

  // Counts names left out by an earlier reading of the same folder.
  void CountPassedOver(size_t names) { passed_over_ += names; }

  // Puts the entries in listing order: byte by byte with ASCII letters
  // upper-cased, ties broken by the names' own bytes.
  void Sort();

  // Lets go of memory beyond what a folder of ordinary size needs.
  void TrimMemory();

  std::span<const Entry> entries() const { return entries_; }
  // Calls `visit(name, is_folder)` for every entry, in the order they are in.
  template <typename Visit>
  void ForEach(Visit visit) const {
    for (const Entry& entry : entries_) visit(Name(entry), entry.is_folder);
  }
  // The names left out since the last Clear() because no drive path can
  // hold them.
  size_t passed_over() const { return passed_over_; }

  std::string_view Name(const Entry& entry) const {
    return {store_.data() + entry.name_offset, entry.name_size};
  }
  // The same name, terminated by NUL, for the calls that open it.
  const char* NameForOpen(const Entry& entry) const {
    return store_.data() + entry.name_offset;
  }

 private:
  std::vector<char> store_;
  size_t used_ = 0;
  std::vector<Entry> entries_;
  size_t passed_over_ = 0;
};

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_FOLDER_LISTING_H_
