// The drives of a Wine prefix. Under Wine the VEK programs see the disk
// through the links in the prefix's "dosdevices" folder, so reading those
// links gives the program the same drive C they use.
#ifndef TROVANE_PLATFORM_WINE_DRIVES_H_
#define TROVANE_PLATFORM_WINE_DRIVES_H_

#include <string>
#include <vector>

#include "platform/environment.h"

namespace trovane {

// The prefix Wine itself would use: the folder WINEPREFIX names, else
// "$HOME/.wine"; empty when neither variable has a value.
std::string WinePrefixOf(const Environment& environment);

struct WineDrive {
  char letter;         // upper case
  std::string folder;  // absolute, every link in it resolved
};

// The drives that the links "x:" in `prefix`/dosdevices map, in letter
// order. An entry that is not a link to an existing folder ("c::", the
// device entries, a dangling link, a plain file) maps nothing, and so does
// a prefix without a dosdevices folder.
std::vector<WineDrive> ReadWineDrives(const std::string& prefix);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_WINE_DRIVES_H_
