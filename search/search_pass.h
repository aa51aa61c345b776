// The search pass, Start's click: the disk map scan, the double-check of
// the Trovane databank and the completion report, in one go.
#ifndef TROVANE_SEARCH_SEARCH_PASS_H_
#define TROVANE_SEARCH_SEARCH_PASS_H_

#include "databank/data.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "shell/window.h"

namespace trovane {

// Never returns: it ends by unloading the window.
[[noreturn]] void RunSearchPass(Window& window, Data& data, FileSystem& files,
                                Clock& clock);

}  // namespace trovane

#endif  // TROVANE_SEARCH_SEARCH_PASS_H_
