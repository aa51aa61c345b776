#include "trovane-cmd/listing_path.h"

#include <string>
#include <utility>

#include "platform/text.h"
#include "platform/wildcard.h"

namespace trovane {
namespace {

// The request for the absolute `folder`: each line starts with it as
// written, less the separators at its end.
ListingRequest RequestFor(std::string folder, NameFilter filter) {
  std::string shown(WithoutTrailingSeparators(folder));
  return ListingRequest{std::move(folder), std::move(shown), std::move(filter)};
}

}  // namespace

std::optional<ListingRequest> ResolveListedPath(std::string_view path,
                                                const BatchPaths& paths,
                                                FileSystem& files) {
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
    std::optional<std::string> whole = paths.Absolute(path);
    if (whole && files.IsFolder(*whole)) {
      return RequestFor(std::move(*whole), NameFilter());
    }
  }
  std::optional<std::string> absolute_folder = paths.Absolute(folder);
  if (!absolute_folder) {
    return std::nullopt;
  }
  return RequestFor(std::move(*absolute_folder),
                    NameFilter::ForComponent(last));
}

}  // namespace trovane
