#include "tests/databank/databank_fixture.h"

namespace trovane::testing {

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
