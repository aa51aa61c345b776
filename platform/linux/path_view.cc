#include "platform/linux/path_view.h"

#include <dirent.h>
#include <sys/stat.h>

#include <memory>
#include <utility>

#include "platform/linux/linux_folder.h"
#include "platform/linux/long_path.h"
#include "platform/text.h"

namespace trovane {
namespace {

bool Exists(const std::string& path) {
  struct stat info;
  return long_path::Stat(path, &info, /*follow_links=*/false) == 0;
}

}  // namespace

PathView::PathView(DriveMap drives, std::string current_folder)
    : drives_(std::move(drives)),
      current_folder_(std::move(current_folder)),
      folder_names_(std::make_shared<FolderNames>(/*keep=*/false)) {}

void PathView::KeepFolderNames() {
  folder_names_ = std::make_shared<FolderNames>(/*keep=*/true);
}

std::optional<std::string> PathView::NameIn(const std::string& folder,
                                            std::string_view name) const {
  // Without kept names, a name that exists as written costs one look.
  if (!folder_names_->keeps() && Exists(JoinLinuxPath(folder, name))) {
    return std::string(name);
  }
  const std::vector<FolderNames::Entry> matches =
      folder_names_->Matches(folder, name);
  if (matches.empty()) return std::nullopt;
  for (const FolderNames::Entry& entry : matches) {
    if (entry.name == name) return entry.name;
  }
  return matches.front().name;
}

// Once a name matches nothing, the rest cannot exist either and is
// appended as given. The path grows in place: a path of a great many names
// costs time in proportion to its length.
std::string PathView::Resolve(const LinuxPath& path) const {
  folder_names_->Refresh();
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
    const std::optional<std::string> found =
        NameIn(result.substr(0, folder_end), name);
    if (!found) {
      missing = true;
    } else if (*found != name) {
      result.replace(name_start, std::string::npos, *found);
    }
  }
  return result;
}

std::string PathView::FirstFileNamed(const std::string& folder,
                                     std::string_view name) const {
  if (!folder_names_->keeps() && IsLinuxFile(JoinLinuxPath(folder, name))) {
    return std::string(name);
  }
  folder_names_->Refresh();
  const std::vector<FolderNames::Entry> matches =
      folder_names_->Matches(folder, name);
  // The folder's record of the type saves a look at the entry itself,
  // except for a link, which counts as what it leads to.
  const auto is_file = [&folder](const FolderNames::Entry& entry) {
    if (entry.type == DT_REG) return true;
    if (entry.type != DT_LNK && entry.type != DT_UNKNOWN) return false;
    return IsLinuxFile(JoinLinuxPath(folder, entry.name));
  };
  for (const FolderNames::Entry& entry : matches) {
    if (entry.name == name && is_file(entry)) return entry.name;
  }
  for (const FolderNames::Entry& entry : matches) {
    if (is_file(entry)) return entry.name;
  }
  return {};
}

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
