#include "platform/path_view.h"

#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>

#include <memory>
#include <utility>

#include "platform/text.h"

namespace trovane {
namespace {

bool Exists(const std::string& path) {
  struct stat info;
  return lstat(path.c_str(), &info) == 0;
}

// The first name in `folder`, in byte order, that equals `name` without
// regard to case; empty when there is none.
std::string FindNoCase(const std::string& folder, std::string_view name) {
  std::unique_ptr<DIR, int (*)(DIR*)> dir(opendir(folder.c_str()), closedir);
  if (!dir) return {};
  std::string best;
  while (const dirent* entry = readdir(dir.get())) {
    const std::string_view candidate = entry->d_name;
    if (!EqualsNoCase(candidate, name)) continue;
    if (best.empty() || candidate < best) best = candidate;
  }
  return best;
}

// Walks `below` name by name from `root`, fixing the case of each name that
// does not exist as given. Once a name matches nothing, the rest cannot
// exist either and is appended as given; so is everything past the longest
// path the system accepts. The path grows in place: a path of a great many
// names costs time in proportion to its length.
std::string Resolve(const LinuxPath& path) {
  std::string result = path.root;
  std::string_view rest = path.below;
  bool missing = false;
  while (!rest.empty()) {
    const size_t slash = rest.find('/');
    const std::string_view name = rest.substr(0, slash);
    rest = slash == std::string_view::npos ? std::string_view()
                                           : rest.substr(slash + 1);
    const size_t folder_end = result.size();
    if (result.empty() || result.back() != '/') result.push_back('/');
    const size_t name_start = result.size();
    result.append(name);
    if (missing) continue;
    if (result.size() >= PATH_MAX) {
      missing = true;
    } else if (!Exists(result)) {
      const std::string found = FindNoCase(result.substr(0, folder_end), name);
      if (found.empty()) {
        missing = true;
      } else {
        result.replace(name_start, std::string::npos, found);
      }
    }
  }
  return result;
}

}  // namespace

PathView::PathView(DriveMap drives, std::string current_folder)
    : drives_(std::move(drives)), current_folder_(std::move(current_folder)) {}

std::optional<std::string> PathView::AsWritten(std::string_view path) const {
  const std::optional<LinuxPath> linux_path =
      drives_.ToLinux(path, current_folder_);
  if (!linux_path) return std::nullopt;
  return linux_path->Joined();
}

std::optional<std::string> PathView::ToLinux(std::string_view path) const {
  const std::optional<LinuxPath> linux_path =
      drives_.ToLinux(path, current_folder_);
  if (!linux_path) return std::nullopt;
  // The common case: the path exists exactly as written.
  std::string joined = linux_path->Joined();
  if (Exists(joined)) return joined;
  return Resolve(*linux_path);
}

std::optional<PathView::Split> PathView::SplitLast(
    std::string_view path) const {
  std::optional<LinuxPath> linux_path = drives_.ToLinux(path, current_folder_);
  if (!linux_path) return std::nullopt;
  Split split;
  const size_t slash = linux_path->below.rfind('/');
  if (slash == std::string::npos) {
    split.name = linux_path->below;
    linux_path->below.clear();
  } else {
    split.name = linux_path->below.substr(slash + 1);
    linux_path->below.resize(slash);
  }
  split.folder = Resolve(*linux_path);
  return split;
}

}  // namespace trovane
