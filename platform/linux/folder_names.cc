#include "platform/linux/folder_names.h"

#include <dirent.h>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <sys/vfs.h>
#include <unistd.h>

#include <algorithm>
#include <climits>

#include "platform/clock.h"
#include "platform/drive_name.h"
#include "platform/linux/folder_times.h"
#include "platform/linux/long_path.h"
#include "platform/linux/path_view.h"
#include "platform/text.h"

namespace trovane {
namespace {

constexpr double kLongestUnrefreshed = 0.02;  // seconds
// About 12 MB of names at most, whatever the folders.
constexpr size_t kMostNamesKept = 250'000;

// Whether a listing's index holds every name that equals `name` without
// regard to case. It leaves out hidden names and names no drive path can
// hold, and case changes neither.
bool IndexHoldsAnyMatch(std::string_view name) {
  return !IsHiddenName(name) && HasDriveForm(name);
}

constexpr size_t kLongestEvent = sizeof(inotify_event) + NAME_MAX + 1;

constexpr uint32_t kChanges = IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                              IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF |
                              IN_ONLYDIR;

}  // namespace

std::optional<FolderNames::Listing> FolderNames::Listing::Read(
    const std::string& folder) {
  const long_path::Folder dir = long_path::OpenFolder(folder);
  if (!dir) return std::nullopt;
  Listing listing;
  while (const dirent* entry = readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    listing.slots_.push_back({static_cast<uint32_t>(listing.names_.size()),
                              static_cast<uint32_t>(name.size()),
                              entry->d_type});
    listing.names_.append(name);
  }
  listing.upper_ = UpperAscii(listing.names_);
  return listing;
}

FolderNames::Listing FolderNames::Listing::Of(const IndexEntries& entries) {
  Listing listing;
  listing.whole_ = false;
  entries.ForEach([&listing](std::string_view name, bool is_folder) {
    // Anything but a folder the listing entered is looked at when its type
    // matters: it may be a file, a link or a folder of another kind.
    listing.slots_.push_back(
        {static_cast<uint32_t>(listing.names_.size()),
         static_cast<uint32_t>(name.size()),
         static_cast<unsigned char>(is_folder ? DT_DIR : DT_UNKNOWN)});
    listing.names_.append(name);
  });
  listing.upper_ = UpperAscii(listing.names_);
  return listing;
}

bool FolderNames::Listing::Answers(std::string_view name) const {
  return whole_ || IndexHoldsAnyMatch(name);
}

std::vector<FolderNames::Entry> FolderNames::Listing::Matches(
    std::string_view name) {
  const std::string upper = UpperAscii(name);
  std::vector<Entry> matches;
  // Most folders are looked in once, for one path: a pass over the names
  // costs less than putting them in order. The second look puts them in
  // order for every later one.
  if (!sorted_ && !looked_in_) {
    looked_in_ = true;
    for (const Slot& slot : slots_) {
      if (UpperOf(slot) == upper) {
        matches.push_back({std::string(NameOf(slot)), slot.type});
      }
    }
    std::sort(matches.begin(), matches.end(),
              [](const Entry& a, const Entry& b) { return a.name < b.name; });
    return matches;
  }
  if (!sorted_) {
    std::sort(slots_.begin(), slots_.end(),
              [this](const Slot& a, const Slot& b) {
                const int order = UpperOf(a).compare(UpperOf(b));
                return order != 0 ? order < 0 : NameOf(a) < NameOf(b);
              });
    sorted_ = true;
  }
  const auto first =
      std::lower_bound(slots_.begin(), slots_.end(), upper,
                       [this](const Slot& slot, std::string_view wanted) {
                         return UpperOf(slot) < wanted;
                       });
  for (auto it = first; it != slots_.end() && UpperOf(*it) == upper; ++it) {
    matches.push_back({std::string(NameOf(*it)), it->type});
  }
  return matches;
}

FolderNames::FolderNames(bool keep)
    : changes_(keep ? inotify_init1(IN_NONBLOCK | IN_CLOEXEC) : -1),
      user_(geteuid()) {}

void FolderNames::Refresh() {
  if (!changes_.valid()) return;
  const double now = SystemClock().MonotonicSeconds();
  if (!touched_ && now - refreshed_at_ < kLongestUnrefreshed) return;
  touched_ = false;
  refreshed_at_ = now;
  alignas(inotify_event) char events[16 * 1024];
  for (bool drained = false; !drained;) {
    const ssize_t got = read(changes_.get(), events, sizeof events);
    if (got <= 0) return;
    // A read that left room for the longest event took every event there
    // was: asking again would only be told there are no more.
    drained = sizeof events - static_cast<size_t>(got) >= kLongestEvent;
    for (ssize_t at = 0; at < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(events + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      if (event->mask & IN_Q_OVERFLOW) {
        // Watches stay; what they watched is read anew.
        for (auto& [path, folder] : folders_) DropListing(folder);
        continue;
      }
      const auto it = watched_.find(event->wd);
      if (it == watched_.end()) continue;
      const std::vector<std::string> folders = it->second;
      if (event->mask & IN_IGNORED) watched_.erase(it);
      for (const std::string& folder : folders) {
        // A folder gone takes its watch with it: a new one there needs one.
        if (event->mask & IN_IGNORED) folders_[folder].watch = -1;
        Drop(folder);
        if (event->len > 0) Drop(folder + "/" + event->name);
      }
    }
  }
}

void FolderNames::UseIndexes(std::vector<std::unique_ptr<PastIndex>> indexes) {
  indexes_ = std::move(indexes);
}

std::optional<FolderNames::Listing> FolderNames::ReadListing(
    const std::string& folder, std::string_view name) {
  if (!indexes_.empty() && IndexHoldsAnyMatch(name)) {
    std::optional<Listing> recalled = Recall(folder);
    if (recalled) return recalled;
  }
  return Listing::Read(folder);
}

std::optional<FolderNames::Listing> FolderNames::Recall(
    const std::string& folder) {
  struct stat info;
  // Only the user's own folders that the user may read, as the listing
  // reads them: whether anyone else's may be read depends on the groups
  // this process is in, or on an access list, and no stamp shows either.
  if (long_path::Stat(folder, &info) != 0 || !S_ISDIR(info.st_mode) ||
      info.st_uid != user_ || (info.st_mode & S_IRUSR) == 0 ||
      !KeepsTimes(info.st_dev, folder)) {
    return std::nullopt;
  }
  const FolderStamp stamp = StampOf(info, /*stands_for_entries=*/true);
  std::string record;
  for (const std::unique_ptr<PastIndex>& index : indexes_) {
    const std::optional<IndexEntries> entries = index->Recall(stamp, &record);
    if (entries) return Listing::Of(*entries);
  }
  return std::nullopt;
}

bool FolderNames::KeepsTimes(dev_t volume, const std::string& folder) {
  for (const auto& [seen, keeps] : volumes_) {
    if (seen == volume) return keeps;
  }
  struct statfs file_system;
  if (statfs(folder.c_str(), &file_system) != 0) return false;
  volumes_.emplace_back(volume, KeepsFolderTimes(file_system));
  return volumes_.back().second;
}

void FolderNames::DropListing(Folder& folder) {
  if (!folder.listing) return;
  kept_names_ -= folder.listing->size();
  recent_.erase(folder.recent);
  folder.listing.reset();
}

void FolderNames::Drop(const std::string& folder) {
  const auto it = folders_.find(folder);
  if (it != folders_.end()) DropListing(it->second);
  // Every folder below it: their paths may now name other folders.
  const std::string below = folder + "/";
  for (auto child = folders_.lower_bound(below);
       child != folders_.end() && child->first.starts_with(below); ++child) {
    DropListing(child->second);
  }
}

void FolderNames::KeepWithinBound() {
  while (kept_names_ > kMostNamesKept && recent_.size() > 1) {
    DropListing(folders_[recent_.back()]);
  }
}

std::vector<FolderNames::Entry> FolderNames::Matches(const std::string& folder,
                                                     std::string_view name) {
  if (!keeps()) {
    std::optional<Listing> listing = ReadListing(folder, name);
    return listing ? listing->Matches(name) : std::vector<Entry>();
  }
  Folder& kept = folders_[folder];
  if (kept.watch < 0) {
    kept.watch = inotify_add_watch(changes_.get(), folder.c_str(), kChanges);
    if (kept.watch >= 0) watched_[kept.watch].push_back(folder);
  }
  if (kept.watch < 0) {
    std::optional<Listing> listing = ReadListing(folder, name);
    return listing ? listing->Matches(name) : std::vector<Entry>();
  }
  if (kept.listing && !kept.listing->Answers(name)) DropListing(kept);
  if (kept.listing) {
    recent_.splice(recent_.begin(), recent_, kept.recent);
  } else {
    kept.listing = ReadListing(folder, name);
    if (!kept.listing) return {};
    recent_.push_front(folder);
    kept.recent = recent_.begin();
    kept_names_ += kept.listing->size();
  }
  std::vector<Entry> matches = kept.listing->Matches(name);
  KeepWithinBound();
  return matches;
}

}  // namespace trovane
