// The names in the folders that paths are looked up in without regard to
// case, read once and kept while the folder stays the same. Every folder
// read is watched: an entry made, removed or renamed in it, by this
// process or another, drops what was kept of it (and of every folder below
// that name) before the next look-up. The changes are taken in whenever
// this process has changed something, so its own changes are always seen,
// and otherwise at least every fiftieth of a second, so another process's
// are seen soon after. Where no watch can be had, nothing is kept and each
// look-up reads the folder again.
//
// A run looks up thousands of upper-cased paths in the same few large
// folders; reading each folder once instead of once per path is what keeps
// that cost in proportion to the paths.
#ifndef TROVANE_PLATFORM_FOLDER_NAMES_H_
#define TROVANE_PLATFORM_FOLDER_NAMES_H_

#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "platform/unique_fd.h"

namespace trovane {

class FolderNames {
 public:
  // One entry of a folder: its name as stored and its type as the folder
  // records it (a DT_ value of dirent.h).
  struct Entry {
    std::string name;
    unsigned char type;
  };

  // `keep` false keeps nothing: every look-up reads its folder.
  explicit FolderNames(bool keep);

  bool keeps() const { return changes_.valid(); }

  // Takes in what changed, when this process has changed something since
  // the last time or it is time to look again: call it before a series of
  // look-ups of one path.
  void Refresh();

  // Notes that this process changed something on the disk.
  void Touched() { touched_ = true; }

  // The entries of the Linux folder `folder` whose names equal `name`
  // without regard to case, in byte order of their names; null when there
  // are none or the folder cannot be read. Valid until the next call.
  const std::vector<Entry>* Matches(const std::string& folder,
                                    std::string_view name);

 private:
  // The entries of a folder by their upper-cased names.
  using Listing = std::unordered_map<std::string, std::vector<Entry>>;
  struct Folder {
    int watch = -1;
    std::optional<Listing> listing;
  };

  // Drops what is kept of `folder` and of every folder below it.
  void Drop(const std::string& folder);

  UniqueFd changes_;  // inotify; invalid when the system gives none
  std::map<std::string, Folder> folders_;
  // The folders a watch stands for: one folder reached by two paths has
  // one watch.
  std::unordered_map<int, std::vector<std::string>> watched_;
  Listing uncached_;  // a listing read for one look-up only
  bool touched_ = true;
  double refreshed_at_ = 0;  // monotonic seconds
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_FOLDER_NAMES_H_
