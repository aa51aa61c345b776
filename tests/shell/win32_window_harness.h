// A real Window with real services over a disk, its passes plain functions,
// shown by the system's own window: what the window's tests and the window
// driver run. The program's folder is ROOT\Run and the temporary folder
// ROOT\Temp, ROOT being "C:" on a disk in memory or a sandbox folder on the
// real disk.
#ifndef TROVANE_TESTS_SHELL_WIN32_WINDOW_HARNESS_H_
#define TROVANE_TESTS_SHELL_WIN32_WINDOW_HARNESS_H_

#include <windows.h>
// The system's MessageBox is a macro naming MessageBoxA or MessageBoxW;
// here MessageBox is the window's.
#undef MessageBox

#include <chrono>
#include <functional>
#include <memory>
#include <string>

#include "databank/data.h"
#include "platform/file_system.h"
#include "shell/front_end.h"
#include "shell/window.h"
#include "tests/support/fakes.h"
#include "tests/support/window_harness.h"

namespace trovane::testing {

class Win32WindowHarness {
 public:
  using EndProcess = std::function<void(int status)>;

  // Loads the window. Unless told otherwise, ending the process throws
  // ProcessEnded, which must never be thrown through the system's message
  // dispatch: a test that ends the window runs it in a process of its own.
  Win32WindowHarness(FileSystem& files, const std::string& root,
                     EndProcess end_process = ThrowProcessEnded);

  Window& window() { return window_; }
  FrontEnd& front_end() { return *front_end_; }
  FunctionPasses& passes() { return passes_; }
  RecordingLauncher& launcher() { return launcher_; }

  // Shows the window and returns its handle.
  HWND Show();

  // Lets the front end process events until `done` holds or `limit` has
  // passed; whether `done` held.
  bool ProcessEventsUntil(
      const std::function<bool()>& done,
      std::chrono::milliseconds limit = std::chrono::seconds(10));

  static void ThrowProcessEnded(int status);

  // The window of class `window_class` that this thread shows; tests that
  // run at once each show their own. The message box's class is "#32770".
  static HWND ThreadWindow(const wchar_t* window_class);

 private:
  char program_name_[16] = "trovane-setup";
  char* argv_[2] = {program_name_, nullptr};
  int argc_ = 1;
  FakeClock clock_;
  FakeEnvironment environment_;
  Data data_;
  RecordingLauncher launcher_;
  FunctionPasses passes_;
  std::unique_ptr<FrontEnd> front_end_;
  Window window_;
};

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_SHELL_WIN32_WINDOW_HARNESS_H_
