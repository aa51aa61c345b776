// The first stage of the search pass, the disk map scan: every path of the
// disk map that ends with the value of a wanted entry still in FileList
// becomes that entry's location in the Trovane databank, upper-cased, and
// the entry leaves the list.
#ifndef TROVANE_SEARCH_DISK_MAP_SCAN_H_
#define TROVANE_SEARCH_DISK_MAP_SCAN_H_

#include <string>
#include <string_view>

#include "shell/window.h"

namespace trovane {

void ScanDiskMap(Window& window);

// What the file-name label shows of a path during the scan: its folder
// part, cut to 30 characters and "..." once the path is 34 long or longer.
std::string ScanLabel(std::string_view path);

}  // namespace trovane

#endif  // TROVANE_SEARCH_DISK_MAP_SCAN_H_
