// A real Window with real services over a sandbox, its passes plain
// functions, shown by the Qt front end: what the Qt front end's tests and the
// screenshot tool run. The layout is the window harness's: the program's
// folder is C:\Run, the temporary folder C:\Temp.
#ifndef TROVANE_TESTS_SHELL_QT_WINDOW_HARNESS_H_
#define TROVANE_TESTS_SHELL_QT_WINDOW_HARNESS_H_

#include <QWidget>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "databank/data.h"
#include "platform/linux/linux_file_system.h"
#include "shell/front_end.h"
#include "shell/window.h"
#include "tests/support/fakes.h"
#include "tests/support/sandbox.h"
#include "tests/support/text_files.h"
#include "tests/support/window_harness.h"

namespace trovane::testing {

class QtWindowHarness {
 public:
  using EndProcess = std::function<void(int status)>;

  // Loads the window with the sandbox as drive C. Unless told otherwise,
  // ending the process throws ProcessEnded.
  explicit QtWindowHarness(const Sandbox& sandbox,
                           EndProcess end_process = ThrowProcessEnded);

  Window& window() { return window_; }
  FrontEnd& front_end() { return *front_end_; }
  FunctionPasses& passes() { return passes_; }
  RecordingLauncher& launcher() { return launcher_; }

  // Shows the window and returns its top-level widget.
  QWidget& Show();

  // Lets the front end process events until `done` holds or `limit` has
  // passed; whether `done` held.
  bool ProcessEventsUntil(
      const std::function<bool()>& done,
      std::chrono::milliseconds limit = std::chrono::seconds(10));

  static void ThrowProcessEnded(int status);

 private:
  char program_name_[16] = "trovane-setup";
  char* argv_[2] = {program_name_, nullptr};
  int argc_ = 1;
  LinuxFileSystem files_;
  FakeClock clock_;
  FakeEnvironment environment_;
  Data data_;
  RecordingLauncher launcher_;
  FunctionPasses passes_;
  std::unique_ptr<FrontEnd> front_end_;
  Window window_;
};

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_SHELL_QT_WINDOW_HARNESS_H_
