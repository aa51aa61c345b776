#include "shell/batch_messages.h"

#include <memory>

#include "platform/text.h"

namespace trovane {

std::vector<std::string> ReadBatchMessages(FileSystem& files,
                                           const std::string& path,
                                           std::string_view routine) {
  // Made by this run's batch in the run path; a link put there meanwhile is
  // not followed.
  std::unique_ptr<InputFile> file =
      files.OpenForReading(path, {.refuse_link = true});
  if (!file) return {};
  std::vector<std::string> shown;
  size_t more = 0;
  std::string line;
  while (file->ReadLine(&line)) {
    if (line == routine) continue;
    if (shown.size() == kShownBatchMessages) {
      ++more;
      continue;
    }
    // A name in a message must not move the terminal's cursor.
    for (char& c : line) {
      if (IsControlCharacter(c)) c = '?';
    }
    shown.push_back("  " + line);
  }
  file->Close();
  if (shown.empty()) return {};
  shown.insert(shown.begin(), "The scan batch said (" + path + "):");
  if (more > 0) {
    shown.push_back("  ... and " + std::to_string(more) +
                    (more == 1 ? " more line." : " more lines."));
  }
  return shown;
}

}  // namespace trovane
