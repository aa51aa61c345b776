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
// that cost in proportion to the paths. What is kept is bounded: the
// folders looked in least recently are let go first.
//
// A whole-drive listing has just read most of those folders, and its index
// holds their names under each folder's stamp: a folder of this user's on
// a file system that keeps folder times, whose stamp has not moved since,
// takes its names from there for one stat instead of a read. The index
// leaves hidden names out, and names no drive path can hold, so a look-up
// of such a name still reads the folder.
#ifndef TROVANE_PLATFORM_FOLDER_NAMES_H_
#define TROVANE_PLATFORM_FOLDER_NAMES_H_

#include <sys/types.h>

#include <cstdint>
#include <list>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/linux/unique_fd.h"
#include "platform/past_index.h"

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

  // The indexes of earlier listings that folders unchanged since may take
  // their names from, in place of any given before.
  void UseIndexes(std::vector<std::unique_ptr<PastIndex>> indexes);

  // The entries of the Linux folder `folder` whose names equal `name`
  // without regard to case, in byte order of their names; empty when
  // there are none or the folder cannot be read.
  std::vector<Entry> Matches(const std::string& folder, std::string_view name);

 private:
  // A folder's names in one block, and beside it the same names
  // upper-cased: a few bytes an entry beside the names themselves. The
  // first look goes over them all; from the second on they are in order
  // and found by binary search.
  class Listing {
   public:
    // Nothing when the folder cannot be read.
    static std::optional<Listing> Read(const std::string& folder);
    // The names an index holds for a folder.
    static Listing Of(const IndexEntries& entries);
    std::vector<Entry> Matches(std::string_view name);
    size_t size() const { return slots_.size(); }
    // Whether the listing holds every name that could match `name`.
    bool Answers(std::string_view name) const;

   private:
    struct Slot {
      uint32_t start;
      uint32_t size;
      unsigned char type;
    };
    std::string_view NameOf(const Slot& slot) const {
      return std::string_view{names_}.substr(slot.start, slot.size);
    }
    std::string_view UpperOf(const Slot& slot) const {
      return std::string_view{upper_}.substr(slot.start, slot.size);
    }
    std::string names_;
    std::string upper_;
    std::vector<Slot> slots_;  // once sorted: by upper-cased name, then name
    bool sorted_ = false;
    bool looked_in_ = false;
    bool whole_ = true;  // false for names from an index
  };
  struct Folder {
    int watch = -1;
    std::optional<Listing> listing;
    std::list<std::string>::iterator recent;  // while a listing is kept
  };

  // The folder's names, from an index when one holds them as they still
  // are and holds every name that could match `name`, else from the disk.
  std::optional<Listing> ReadListing(const std::string& folder,
                                     std::string_view name);
  std::optional<Listing> Recall(const std::string& folder);
  bool KeepsTimes(dev_t volume, const std::string& folder);

  // Drops what is kept of `folder` and of every folder below it.
  void Drop(const std::string& folder);
  void DropListing(Folder& folder);
  // Lets go of the listings looked in least recently while more names
  // than the bound are kept.
  void KeepWithinBound();

  UniqueFd changes_;  // inotify; invalid when the system gives none
  std::map<std::string, Folder> folders_;
  // The folders a watch stands for: one folder reached by two paths has
  // one watch.
  std::unordered_map<int, std::vector<std::string>> watched_;
  std::list<std::string> recent_;  // folders with listings, latest first
  std::vector<std::unique_ptr<PastIndex>> indexes_;
  const uid_t user_;  // this process's effective user
  // Whether each file system met keeps folder times.
  std::vector<std::pair<dev_t, bool>> volumes_;
  size_t kept_names_ = 0;
  bool touched_ = true;
  double refreshed_at_ = 0;  // monotonic seconds
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_FOLDER_NAMES_H_
