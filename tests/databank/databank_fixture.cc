#include "tests/databank/databank_fixture.h"

namespace trovane::testing {

std::vector<std::string> CrLfLines(const std::string& content) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < content.size()) {
    const size_t end = content.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "line without CR LF: " << content.substr(start);
      lines.push_back(content.substr(start));
      break;
    }
    lines.push_back(content.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

std::vector<std::string> DatabankTest::IoLog() const {
  const std::string stamp = "12-08-2026 21:24:33| ";
  std::vector<std::string> messages;
  for (const std::string& line :
       CrLfLines(sandbox_.Read("Run/Database_IO.log"))) {
    EXPECT_EQ(line.substr(0, stamp.size()), stamp);
    messages.push_back(line.substr(std::min(stamp.size(), line.size())));
  }
  return messages;
}

}  // namespace trovane::testing
