// The second stage of the analysis pass: the Trovane databank is made sure
// of and stamped, and every wanted entry whose stored location still exists
// and still carries its correct file name leaves FileList. The rest is
// reported in the activity log.
#ifndef TROVANE_ANALYSIS_OLD_ENTRIES_H_
#define TROVANE_ANALYSIS_OLD_ENTRIES_H_

#include "shell/window.h"

namespace trovane {

void CheckOldEntries(Window& window);

}  // namespace trovane

#endif  // TROVANE_ANALYSIS_OLD_ENTRIES_H_
