// What the scan batch's interpreter says on standard error (a folder that
// holds nothing to list, a line it does not know, a write that failed): it
// goes to a file in the run path, which the run shows from at its end.
#ifndef TROVANE_SHELL_BATCH_MESSAGES_H_
#define TROVANE_SHELL_BATCH_MESSAGES_H_

#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

namespace trovane {

// In the run path, beside the scan batch; made afresh by each batch.
inline constexpr std::string_view kBatchMessagesName = "\\Map.err";

// How many of its lines are shown; the rest are counted.
inline constexpr size_t kShownBatchMessages = 10;

// What the file at `path` holds, ready to show: a line that names the file,
// then its lines indented (control characters shown as "?"), at most
// kShownBatchMessages of them and then how many more there are. A line
// that equals `routine`, which the batch says in the course of things, is
// passed over. Empty when nothing else is there or the file cannot be read.
std::vector<std::string> ReadBatchMessages(FileSystem& files,
                                           const std::string& path,
                                           std::string_view routine);

}  // namespace trovane

#endif  // TROVANE_SHELL_BATCH_MESSAGES_H_
