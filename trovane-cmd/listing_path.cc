#include "trovane-cmd/listing_path.h"

#include <string>

#include "platform/linux/linux_folder.h"
#include "platform/text.h"
#include "platform/wildcard.h"

namespace trovane {
namespace {

bool IsSeparator(char c) { return c == '\\' || c == '/'; }

std::string_view WithoutTrailingSeparators(std::string_view text) {
  while (!text.empty() && IsSeparator(text.back())) {
    text.remove_suffix(1);
  }
  return text;
}

// The drive-form text that each line of a listing of `folder` (PATH's
// folder part, as written) starts with.
std::string ShownFolder(std::string_view folder, const PathView& paths) {
  const std::string_view bare = WithoutTrailingSeparators(folder);
  if (HasDriveLetter(folder)) {
    // "C:Games" is taken from the drive's root, like every drive path.
    if (bare.size() > 2 && !IsSeparator(bare[2])) {
      return std::string(bare.substr(0, 2)) + "\\" +
             std::string(bare.substr(2));
    }
    return std::string(bare);
  }
  if (!folder.empty() && folder.front() == '/') {
    return std::string(WithoutTrailingSeparators(
        paths.ToDriveForm(NormalizeLinuxPath(folder))));
  }
  const std::string current = paths.ToDriveForm(paths.current_folder());
  if (!folder.empty() && folder.front() == '\\') {
    // On the current drive.
    const std::string drive =
        HasDriveLetter(current) ? current.substr(0, 2) : std::string();
    return drive + std::string(bare);
  }
  std::string shown(WithoutTrailingSeparators(current));
  if (!bare.empty()) {
    shown.push_back('\\');
    shown.append(bare);
  }
  return shown;
}

}  // namespace

std::optional<ListingRequest> ResolveListedPath(std::string_view path,
                                                const PathView& paths) {
  path = TrimBlanks(path);
  const size_t last_separator = path.find_last_of("\\/");
  std::string_view folder;
  std::string_view last;
  if (last_separator != std::string_view::npos) {
    folder = path.substr(0, last_separator + 1);
    last = path.substr(last_separator + 1);
  } else {
    folder = path.substr(0, HasDriveLetter(path) ? 2 : 0);
    last = path.substr(folder.size());
  }
  if (HasWildcards(folder)) {
    return std::nullopt;
  }

  // A last component that is itself a folder is listed whole.
  if (!last.empty() && !HasWildcards(last)) {
    std::optional<std::string> whole = paths.ToLinux(path);
    if (whole && IsLinuxFolder(*whole)) {
      return ListingRequest{std::move(*whole), ShownFolder(path, paths),
                            NameFilter()};
    }
  }
  std::optional<std::string> linux_folder = paths.ToLinux(folder);
  if (!linux_folder) {
    return std::nullopt;
  }
  return ListingRequest{std::move(*linux_folder), ShownFolder(folder, paths),
                        NameFilter::ForComponent(last)};
}

}  // namespace trovane
