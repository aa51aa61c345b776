// Where a listing's index is kept: beside the disk map it was written
// with, under a name that the system's backend chooses and hides. Another
// user's file, a symbolic link or anything but an ordinary file at that
// name is never read, and a new index takes the place of the old one in a
// single step, only once its listing ended well: a listing cut short
// (killed, a full disk) leaves the old index or none, never a part of one.
#ifndef TROVANE_PLATFORM_INDEX_FILES_H_
#define TROVANE_PLATFORM_INDEX_FILES_H_

#include <cstdint>
#include <memory>
#include <span>
#include <string>
#include <string_view>

namespace trovane {

// An index being read; any number of threads may read it at once.
class IndexSource {
 public:
  virtual ~IndexSource() = default;
  virtual uint64_t size() const = 0;
  // Fills `out` with the bytes from `offset` on; false when not all of
  // them could be read.
  virtual bool ReadAt(uint64_t offset, std::span<char> out) const = 0;
};

// An index being written, under a name of its own until Commit().
class IndexSink {
 public:
  // Without a Commit(), what was written is removed.
  virtual ~IndexSink() = default;
  // False once not every byte so far could be written.
  virtual bool Write(std::string_view bytes) = 0;
  // Puts the index written in the place of the last one; false when it
  // could not be.
  virtual bool Commit() = 0;
};

class IndexFiles {
 public:
  virtual ~IndexFiles() = default;

  // The index of the `ordinal`th listing (from 1) written to the disk map
  // `target` (absolute, drive form) since it was last emptied; null when
  // there is none or it is not to be read.
  virtual std::unique_ptr<IndexSource> OpenLast(std::string_view target,
                                                int ordinal) = 0;
  // A new index for that listing; null when none can be written there.
  // Only one process at a time writes a disk map (it holds the map's
  // lock), so only one writes its index.
  virtual std::unique_ptr<IndexSink> StartNext(std::string_view target,
                                               int ordinal) = 0;

  // The time now on the clock the file system stamps changes with, in
  // nanoseconds since 1970.
  virtual int64_t NowNs() const = 0;
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_INDEX_FILES_H_
