#include "tests/support/text_files.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace trovane::testing {

std::vector<std::string> CrLfLines(std::string_view content) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < content.size()) {
    const size_t end = content.find("\r\n", start);
    if (end == std::string_view::npos) {
      ADD_FAILURE() << "line without CR LF: " << content.substr(start);
      lines.emplace_back(content.substr(start));
      break;
    }
    lines.emplace_back(content.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::vector<std::string> LogMessages(std::string_view content) {
  std::vector<std::string> messages;
  for (size_t start = 0, end;
       (end = content.find("\r\n", start)) != std::string_view::npos;
       start = end + 2) {
    const std::string_view line = content.substr(start, end - start);
    const size_t bar = line.find("| ");
    messages.emplace_back(bar == std::string_view::npos ? line
                                                        : line.substr(bar + 2));
  }
  return messages;
}

std::vector<std::string> StampedMessages(std::string_view content) {
  const std::string stamp = "12-08-2026 21:24:33| ";
  std::vector<std::string> messages;
  for (const std::string& line : CrLfLines(content)) {
    EXPECT_EQ(line.substr(0, stamp.size()), stamp);
    messages.push_back(line.substr(std::min(stamp.size(), line.size())));
  }
  return messages;
}

}  // namespace trovane::testing
