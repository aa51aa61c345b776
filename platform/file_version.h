// Which version of a file a path names: it changes whenever the file is
// replaced, written or has its attributes changed.
#ifndef TROVANE_PLATFORM_FILE_VERSION_H_
#define TROVANE_PLATFORM_FILE_VERSION_H_

#include <cstdint>

namespace trovane {

struct FileVersion {
  uint64_t device = 0;
  uint64_t inode = 0;
  int64_t size = 0;
  int64_t modified_ns = 0;
  int64_t changed_ns = 0;
  bool operator==(const FileVersion&) const = default;
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_FILE_VERSION_H_
