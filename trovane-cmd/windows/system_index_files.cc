#include "trovane-cmd/system_index_files.h"

namespace trovane {

// The Windows build keeps no index, and every listing reads the disk: a
// folder's times there do not move when the hidden or system attribute of
// one of its entries does, and that attribute decides whether the entry is
// listed, so no stamp of a folder could stand for its entries.
std::unique_ptr<IndexFiles> MakeSystemIndexFiles(
    const Environment& /*environment*/) {
  return nullptr;
}

}  // namespace trovane
