#include "platform/folder_names.h"

#include <dirent.h>
#include <sys/inotify.h>
#include <time.h>
#include <unistd.h>

#include <algorithm>

#include "platform/text.h"

namespace trovane {
namespace {

constexpr double kLongestUnrefreshed = 0.02;  // seconds

constexpr uint32_t kChanges = IN_CREATE | IN_DELETE | IN_MOVED_FROM |
                              IN_MOVED_TO | IN_DELETE_SELF | IN_MOVE_SELF |
                              IN_ONLYDIR;

// Every entry of a folder but "." and "..", by upper-cased name, each
// group in byte order; nothing when it cannot be read.
std::optional<std::unordered_map<std::string, std::vector<FolderNames::Entry>>>
ReadListing(const std::string& folder) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (!dir) return std::nullopt;
  std::unordered_map<std::string, std::vector<FolderNames::Entry>> listing;
  while (const dirent* entry = readdir(dir.get())) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    listing[UpperAscii(name)].push_back({std::string(name), entry->d_type});
  }
  for (auto& [upper, entries] : listing) {
    std::sort(entries.begin(), entries.end(),
              [](const FolderNames::Entry& a, const FolderNames::Entry& b) {
                return a.name < b.name;
              });
  }
  return listing;
}

}  // namespace

FolderNames::FolderNames(bool keep)
    : changes_(keep ? inotify_init1(IN_NONBLOCK | IN_CLOEXEC) : -1) {}

void FolderNames::Refresh() {
  if (!changes_.valid()) return;
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
  const double seconds = static_cast<double>(now.tv_sec) + now.tv_nsec * 1e-9;
  if (!touched_ && seconds - refreshed_at_ < kLongestUnrefreshed) return;
  touched_ = false;
  refreshed_at_ = seconds;
  alignas(inotify_event) char events[16 * 1024];
  for (;;) {
    const ssize_t got = read(changes_.get(), events, sizeof events);
    if (got <= 0) return;
    for (ssize_t at = 0; at < got;) {
      const auto* event = reinterpret_cast<const inotify_event*>(events + at);
      at += static_cast<ssize_t>(sizeof(inotify_event) + event->len);
      if (event->mask & IN_Q_OVERFLOW) {
        folders_.clear();  // watches stay; what they watched is read anew
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

void FolderNames::Drop(const std::string& folder) {
  const auto it = folders_.find(folder);
  if (it != folders_.end()) it->second.listing.reset();
  // Every folder below it: their paths may now name other folders.
  const std::string below = folder + "/";
  for (auto child = folders_.lower_bound(below);
       child != folders_.end() && child->first.starts_with(below); ++child) {
    child->second.listing.reset();
  }
}

const std::vector<FolderNames::Entry>* FolderNames::Matches(
    const std::string& folder, std::string_view name) {
  Listing* listing = nullptr;
  Folder& kept = folders_[folder];
  if (kept.watch < 0 && changes_.valid()) {
    kept.watch = inotify_add_watch(changes_.get(), folder.c_str(), kChanges);
    if (kept.watch >= 0) watched_[kept.watch].push_back(folder);
  }
  if (kept.watch >= 0) {
    if (!kept.listing) kept.listing = ReadListing(folder);
    if (kept.listing) listing = &*kept.listing;
  } else if (std::optional<Listing> read = ReadListing(folder)) {
    uncached_ = std::move(*read);
    listing = &uncached_;
  }
  if (listing == nullptr) return nullptr;
  const auto found = listing->find(UpperAscii(name));
  return found == listing->end() ? nullptr : &found->second;
}

}  // namespace trovane
