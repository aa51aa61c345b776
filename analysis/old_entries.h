// The old-entry check: the Trovane databank is made sure of and stamped,
// and every wanted entry whose stored location still exists and still
// carries its correct file name leaves FileList. The rest is reported.
#ifndef TROVANE_ANALYSIS_OLD_ENTRIES_H_
#define TROVANE_ANALYSIS_OLD_ENTRIES_H_

#include <string_view>

#include "databank/data.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "shell/window.h"

namespace trovane {

void CheckOldEntries(Window& window, Data& data, FileSystem& files,
                     Clock& clock);

}  // namespace trovane

#endif  // TROVANE_ANALYSIS_OLD_ENTRIES_H_
