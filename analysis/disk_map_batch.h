// The scan batch: "\Map.bat" in the run path lists every path below the
// relevant folders of the folder list "\Map.txt" into the disk map
// "\Trovane.txt" in the temporary folder, then writes the completion
// signal. The command interpreter runs it as a process of its own.
#ifndef TROVANE_ANALYSIS_DISK_MAP_BATCH_H_
#define TROVANE_ANALYSIS_DISK_MAP_BATCH_H_

#include <string>
#include <string_view>
#include <vector>

namespace trovane {

// The part of a folder-list line an entry must mention for the line to be
// worth listing: the text after its last "*", else after its last "\",
// else the whole line.
std::string_view FolderTail(std::string_view line);

// True when some wanted entry mentions the line's folder tail, ignoring
// case. An empty tail is mentioned by every entry.
bool IsRelevant(std::string_view line, const std::vector<std::string>& items);

// True when `text` holds a control character: a line break in it would
// put lines of its own into the batch.
bool HoldsControlCharacter(std::string_view text);

}  // namespace trovane

#endif  // TROVANE_ANALYSIS_DISK_MAP_BATCH_H_
