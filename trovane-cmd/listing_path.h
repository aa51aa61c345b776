// What "Dir PATH /s /b" lists: PATH names a folder (then every entry below
// it) or a folder and a last component, a plain name or a wildcard pattern,
// that is looked for in that folder and every folder below it.
#ifndef TROVANE_TROVANE_CMD_LISTING_PATH_H_
#define TROVANE_TROVANE_CMD_LISTING_PATH_H_

#include <optional>
#include <string_view>

#include "platform/file_system.h"
#include "trovane-cmd/batch_paths.h"
#include "trovane-cmd/folder_walker.h"

namespace trovane {

// The listing PATH asks for: its folder, absolute in drive form, the folder
// as each line shows it (as written, without a trailing "\", made absolute
// in drive form when PATH is relative or a path as the system names it),
// and the names to show. `files` tells whether a last component is itself a
// folder. Empty when PATH can name nothing: a wildcard in a folder part,
// or "\X" while the current folder lies on no drive.
std::optional<ListingRequest> ResolveListedPath(std::string_view path,
                                                const BatchPaths& paths,
                                                FileSystem& files);

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_LISTING_PATH_H_
