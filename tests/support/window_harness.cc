#include "tests/support/window_harness.h"

#include <gtest/gtest.h>

#include "platform/file_numbers.h"
#include "tests/support/text_files.h"

namespace trovane::testing {

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
  return ActivityLogMessages(sandbox);
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
