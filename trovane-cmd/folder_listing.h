// The visible entries of folders, read from the folders themselves and put
// in listing order. This is the inner loop of a whole-disk listing, so it
// does no allocation per entry and no stat per entry: names stay in the raw
// records the kernel returned, and the entry type comes from those records
// (a stat only for the rare file system that does not record it). One
// listing may hold several folders one after the other, each sorted on its
// own, so that small folders can travel between threads together.
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
    // The first eight bytes of the upper-cased name, big-endian, so that
    // most comparisons are one integer comparison.
    uint64_t order_key;
    uint32_t name_offset;
    uint16_t name_size;
    bool is_folder;  // a real folder; a symbolic link to one is not
  };

  void Clear();

  // Appends every entry of the open folder `fd` except hidden ones (which
  // include "." and ".."). False when the folder cannot be read; then
  // nothing of it is kept.
  bool Append(int fd);

  // Takes the folders among `source`'s entries from `first` on, names
  // copied, as this listing's entries, in the order they have there.
  void CopyFoldersOf(const FolderListing& source, size_t first);

  // Sorts the entries from `first` to `end` in listing order: byte by byte
  // with ASCII letters upper-cased, ties broken by the names' own bytes.
  void Sort(size_t first, size_t end);

  // Lets go of memory beyond what a few folders of ordinary size need.
  void TrimMemory();

  // The bytes the listing holds its names in.
  size_t bytes() const { return used_; }

  std::span<const Entry> entries() const { return entries_; }

  std::string_view Name(const Entry& entry) const {
    return {records_.data() + entry.name_offset, entry.name_size};
  }
  // The same name, terminated by NUL, for the calls that open it.
  const char* NameForOpen(const Entry& entry) const {
    return records_.data() + entry.name_offset;
  }

 private:
  // Takes in the `size` bytes of records just read at `offset`.
  bool AddRecords(int fd, size_t offset, size_t size);

  // The kernel's records as read, with each name inside, NUL-terminated;
  // or, after CopyFoldersOf(), just the NUL-terminated names.
  std::vector<char> records_;
  size_t used_ = 0;
  std::vector<Entry> entries_;
};

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_FOLDER_LISTING_H_
