// The first stage of the analysis pass: the wanted-entry list
// "\FileList.txt" in the run path, key=value lines, the key under which a
// VEK program looks a location up and the name a valid location must
// contain. It is read field by field, comma-delimited, into FileList, which
// from then on is the list of entries still to be found.
#ifndef TROVANE_ANALYSIS_WANTED_ENTRIES_H_
#define TROVANE_ANALYSIS_WANTED_ENTRIES_H_

#include "shell/window.h"

namespace trovane {

// Loads the wanted entries into FileList, logging each one. Returns the
// read count: the number of fields read plus the read that found the end,
// which the disk map batch sets P1's maximum to.
int LoadWantedEntries(Window& window);

}  // namespace trovane

#endif  // TROVANE_ANALYSIS_WANTED_ENTRIES_H_
