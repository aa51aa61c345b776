#include "tests/support/window_harness.h"

#include <gtest/gtest.h>

#include "platform/file_numbers.h"

namespace trovane::testing {
namespace {

std::vector<std::string> CrLfLinesOf(const std::string& content) {
  std::vector<std::string> lines;
  size_t start = 0;
  while (start < content.size()) {
    const size_t end = content.find("\r\n", start);
    if (end == std::string::npos) {
      ADD_FAILURE() << "line without CR LF: " << content.substr(start);
      break;
    }
    lines.push_back(content.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

}  // namespace

void ScriptedFrontEnd::ProcessPendingEvents() {
  ++yields;
  if (on_yield) on_yield(yields);
}

WindowHarness::WindowHarness(WindowPasses& passes)
    : files(sandbox.Files()),
      environment(sandbox.Path("Run")),
      data(files, clock, environment),
      window({files, clock, data, FileNumbers::Process(),
              [](int status) { throw ProcessEnded{status}; }},
             passes, front_end) {
  sandbox.MakeFolder("Run");
  sandbox.MakeFolder("Temp");
  environment.Set("TEMP", sandbox.Path("Temp"));
  front_end.Show(window);
}

std::vector<std::string> WindowHarness::ActivityLog() const {
  std::vector<std::string> messages;
  for (const std::string& line : CrLfLinesOf(sandbox.Read("Run/Trovane.Log"))) {
    const size_t bar = line.find("| ");
    EXPECT_NE(bar, std::string::npos) << line;
    messages.push_back(bar == std::string::npos ? line : line.substr(bar + 2));
  }
  return messages;
}

int WindowHarness::ExpectEnd(const std::function<void()>& event) {
  try {
    event();
  } catch (const ProcessEnded& ended) {
    return ended.status;
  }
  ADD_FAILURE() << "the process did not end";
  return -1;
}

}  // namespace trovane::testing
