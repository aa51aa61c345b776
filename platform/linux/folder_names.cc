#include "platform/linux/folder_names.h"

#include <dirent.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <algorithm>
#include <climits>

#include "platform/clock.h"
#include "platform/linux/long_path.h"
#include "platform/text.h"

namespace trovane {
namespace {

constexpr double kLongestUnrefreshed = 0.02;  // seconds
// About 12 MB of names at most, whatever the folders.
constexpr size_t kMostNamesKept = 250'000;

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
    : changes_(keep ? inotify_init1(IN_NONBLOCK | IN_CLOEXEC) : -1) {}

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
    std::optional<Listing> listing = Listing::Read(folder);
    return listing ? listing->Matches(name) : std::vector<Entry>();
  }
  Folder& kept = folders_[folder];
  if (kept.watch < 0) {
    kept.watch = inotify_add_watch(changes_.get(), folder.c_str(), kChanges);
    if (kept.watch >= 0) watched_[kept.watch].push_back(folder);
  }
  if (kept.watch < 0) {
    std::optional<Listing> listing = Listing::Read(folder);
    return listing ? listing->Matches(name) : std::vector<Entry>();
  }
  if (kept.listing) {
    recent_.splice(recent_.begin(), recent_, kept.recent);
  } else {
    kept.listing = Listing::Read(folder);
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
