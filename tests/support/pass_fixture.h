// A loaded main window over a disk in memory, for the tests of both passes:
// the program lies in C:\Run, the temporary folder is C:\Temp, the Trovane
// databank is the file "Trovane" at the root of drive C, and the clock
// stands at 21:24:33 on 12-08-2026.
#ifndef TROVANE_TESTS_SUPPORT_PASS_FIXTURE_H_
#define TROVANE_TESTS_SUPPORT_PASS_FIXTURE_H_

#include <gtest/gtest.h>

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/window_harness.h"

namespace trovane::testing {

// Joins lines, each ended by CR LF, as the program writes text files.
inline std::string CrLf(std::initializer_list<std::string_view> lines) {
  std::string text;
  for (std::string_view line : lines) {
    text.append(line);
    text.append("\r\n");
  }
  return text;
}

class PassTest : public ::testing::Test {
 protected:
  PassTest() { window_.Form_Load(); }

  // Files by their path below drive C, with "/" between names.
  void Write(std::string_view path, std::string_view content) {
    harness_.files.Write(path, content);
  }
  std::string Read(std::string_view path) const {
    return harness_.files.Read(path);
  }
  bool Exists(std::string_view path) const {
    return harness_.files.Exists(path);
  }

  void Want(std::initializer_list<std::string> items) {
    for (const std::string& item : items) window_.FileList().AddItem(item);
  }
  std::vector<std::string> Items() const { return window_.FileList().items(); }
  int yields() const { return harness_.front_end.yields; }

  // The activity log after the "Cleanup" line that loading the window wrote.
  std::vector<std::string> Log() const {
    std::vector<std::string> log = harness_.ActivityLog();
    EXPECT_FALSE(log.empty());
    if (!log.empty()) {
      EXPECT_EQ(log.front(), "Cleanup");
      log.erase(log.begin());
    }
    return log;
  }

  FunctionPasses passes_;
  WindowHarness harness_{passes_};
  Window& window_ = harness_.window;
};

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_SUPPORT_PASS_FIXTURE_H_
