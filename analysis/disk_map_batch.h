// The last stage of the analysis pass: the scan batch "\Map.bat" in the run
// path lists every path below the relevant folders of the folder list
// "\Map.txt" into the disk map "\Trovane.txt" in the temporary folder,
// then writes the completion signal. The command interpreter runs it as a
// process of its own, and the batch wait takes over.
#ifndef TROVANE_ANALYSIS_DISK_MAP_BATCH_H_
#define TROVANE_ANALYSIS_DISK_MAP_BATCH_H_

#include <string>
#include <string_view>
#include <vector>

#include "shell/window.h"

namespace trovane {

// Builds and starts the scan batch when entries remain, then enables Wait
// and disables RightAfterLoad. `read_count` is what loading the wanted
// entries counted.
void BuildDiskMapBatch(Window& window, int read_count);

// The part of a folder-list line an entry must mention for the line to be
// worth listing: the text after its last "*", else after its last "\",
// else the whole line.
std::string_view FolderTail(std::string_view line);

// True when some wanted entry mentions the line's folder tail, ignoring
// case. An empty tail is mentioned by every entry.
bool IsRelevant(std::string_view line, const std::vector<std::string>& items);

}  // namespace trovane

#endif  // TROVANE_ANALYSIS_DISK_MAP_BATCH_H_
