#include "tests/support/window_harness.h"

#include <gtest/gtest.h>

#include "platform/file_numbers.h"
#include "tests/support/text_files.h"

namespace trovane::testing {

void ScriptedFrontEnd::ProcessPendingEvents() {
  ++yields;
  if (on_yield) on_yield(yields);
}

WindowHarness::WindowHarness(WindowPasses& passes, std::string interpreter)
    : environment("C:\\Run"),
      data(files, FileNumbers::Process(), clock, environment),
      window({files, clock, data, FileNumbers::Process(), launcher,
              std::move(interpreter),
              [](int status) { throw ProcessEnded{status}; }},
             passes, front_end) {
  files.MakeFolder("C:\\Run");
  files.MakeFolder("C:\\Temp");
  environment.Set("TEMP", "C:\\Temp");
  front_end.Show(window);
}

std::vector<std::string> WindowHarness::ActivityLog() const {
  return LogMessages(files.Read("C:\\Run\\Trovane.Log"));
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
