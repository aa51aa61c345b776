#include "tests/shell/win32_window_harness.h"

#include <string_view>
#include <thread>

#include "platform/file_numbers.h"
#include "shell/window_front_end.h"
#include "shell/windows/win32_window_view.h"

namespace trovane::testing {

Win32WindowHarness::Win32WindowHarness(FileSystem& files,
                                       const std::string& root,
                                       EndProcess end_process)
    : environment_(root + "\\Run"),
      data_(files, FileNumbers::Process(), clock_, environment_),
      front_end_(MakeWindowFrontEnd(argc_, argv_)),
      window_({.files = files,
               .clock = clock_,
               .data = data_,
               .file_numbers = FileNumbers::Process(),
               .launcher = launcher_,
               .interpreter = "trovane-cmd.exe",
               .end_process = std::move(end_process)},
              passes_, *front_end_) {
  files.MakeFolder(root + "\\Run");
  files.MakeFolder(root + "\\Temp");
  environment_.Set("TEMP", root + "\\Temp");
  window_.Form_Load();
}

HWND Win32WindowHarness::Show() {
  front_end_->Show(window_);
  return ThreadWindow(Win32WindowView::kClassName);
}

HWND Win32WindowHarness::ThreadWindow(const wchar_t* window_class) {
  struct Search {
    const wchar_t* window_class;
    HWND found;
  } search{window_class, nullptr};
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND window, LPARAM context) {
        auto* wanted = reinterpret_cast<Search*>(context);
        wchar_t name[64] = {};
        GetClassNameW(window, name, 64);
        if (std::wstring_view(name) != wanted->window_class) return TRUE;
        wanted->found = window;
        return FALSE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

bool Win32WindowHarness::ProcessEventsUntil(const std::function<bool()>& done,
                                            std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    front_end_->ProcessPendingEvents();
    if (done()) return true;
    if (std::chrono::steady_clock::now() > deadline) return false;
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void Win32WindowHarness::ThrowProcessEnded(int status) {
  throw ProcessEnded{status};
}

}  // namespace trovane::testing
