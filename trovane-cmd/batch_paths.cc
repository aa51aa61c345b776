#include "trovane-cmd/batch_paths.h"

#include <vector>

#include "platform/text.h"

namespace trovane {
namespace {

// `folder` with its names walked as the desktop system walks them: empty
// names and "." are dropped and ".." takes out the name before it, but
// never the root, which keeps its own form ("C:\" or, for a folder on no
// drive, "/").
std::string WithoutDotNames(std::string_view folder) {
  std::string root;
  if (HasDriveLetter(folder)) {
    root = std::string(folder.substr(0, 2)) + "\\";
    folder.remove_prefix(2);
  } else if (folder.starts_with('/')) {
    root = "/";
  }
  std::vector<std::string_view> names;
  size_t start = 0;
  while (start <= folder.size()) {
    size_t end = folder.find_first_of("\\/", start);
    if (end == std::string_view::npos) end = folder.size();
    const std::string_view name = folder.substr(start, end - start);
    if (name == "..") {
      if (!names.empty()) names.pop_back();
    } else if (!name.empty() && name != ".") {
      names.push_back(name);
    }
    start = end + 1;
  }
  const char separator = root == "/" ? '/' : '\\';
  std::string result = root;
  for (size_t i = 0; i < names.size(); ++i) {
    if (i > 0) result.push_back(separator);
    result.append(names[i]);
  }
  return result;
}

}  // namespace

BatchPaths::BatchPaths(const Environment& environment,
                       std::string_view current_folder)
    : environment_(&environment),
      current_folder_(WithoutDotNames(current_folder)) {}

std::optional<std::string> BatchPaths::Absolute(std::string_view path) const {
  if (HasDriveLetter(path)) {
    if (path.size() > 2 && IsPathSeparator(path[2])) return std::string(path);
    // There is one current folder, not one for each drive: "C:Games" is
    // taken from the drive's root.
    return std::string(path.substr(0, 2)) + "\\" + std::string(path.substr(2));
  }
  if (path.starts_with('/')) return environment_->ToDriveForm(path);
  if (path.starts_with('\\')) {
    if (!HasDriveLetter(current_folder_)) return std::nullopt;
    return current_folder_.substr(0, 2) + std::string(path);
  }
  std::string absolute = current_folder_;
  if (!path.empty()) {
    if (!absolute.empty() && !IsPathSeparator(absolute.back())) {
      absolute.push_back('\\');
    }
    absolute.append(path);
  }
  return absolute;
}

void BatchPaths::MoveTo(std::string_view folder) {
  current_folder_ = WithoutDotNames(folder);
}

std::string_view WithoutTrailingSeparators(std::string_view path) {
  while (!path.empty() && IsPathSeparator(path.back())) path.remove_suffix(1);
  return path;
}

}  // namespace trovane
