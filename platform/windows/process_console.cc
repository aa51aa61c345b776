// The standard streams of this process, as Windows gives them. Bytes go to
// a file or a pipe as they are; a console gets them as characters of the
// ANSI code page, the code page the program's names are written in, which
// the console's own (an OEM one) is not.
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <cstdio>
#include <string>

#include "platform/console.h"
#include "platform/quit_signals.h"
#include "platform/windows/wide_text.h"
#include "platform/windows/windows_file.h"

namespace trovane {
namespace {

bool IsConsole(HANDLE handle) {
  DWORD mode = 0;
  return GetConsoleMode(handle, &mode) != 0;
}

// Gives the standard stream `which` the console's device when it has no
// handle, and the C library's `stream` with it; a stream redirected to a
// file keeps its file.
void OpenConsoleStream(DWORD which, const wchar_t* device, const wchar_t* mode,
                       FILE* stream) {
  if (GetStdHandle(which) != nullptr) return;
  SetStdHandle(which, CreateFileW(device, GENERIC_READ | GENERIC_WRITE,
                                  FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                  OPEN_EXISTING, 0, nullptr));
  (void)!_wfreopen(device, mode, stream);
}

// A program of the window's kind started from a console gets no standard
// streams but those redirected: it takes over its starter's console for
// the others, so that what it writes (the usage text, a refusal to start, a
// run without a window) is seen there. Started from the desktop, it has no
// console to take, and needs none. A program started in a console of its
// own with only its standard error given (the scan batch's interpreter)
// takes that console for the others.
bool TakeStartersConsole() {
  const bool lacks_one = GetStdHandle(STD_INPUT_HANDLE) == nullptr ||
                         GetStdHandle(STD_OUTPUT_HANDLE) == nullptr ||
                         GetStdHandle(STD_ERROR_HANDLE) == nullptr;
  if (!lacks_one || (GetConsoleWindow() == nullptr &&
                     AttachConsole(ATTACH_PARENT_PROCESS) == 0)) {
    return false;
  }
  OpenConsoleStream(STD_INPUT_HANDLE, L"CONIN$", L"r", stdin);
  OpenConsoleStream(STD_OUTPUT_HANDLE, L"CONOUT$", L"w", stdout);
  OpenConsoleStream(STD_ERROR_HANDLE, L"CONOUT$", L"w", stderr);
  return true;
}

// The C library's standard streams pass bytes as they are, as on Linux:
// in text mode every line feed would gain a carriage return.
bool WriteBytesAsTheyAre() {
  return _setmode(_fileno(stdout), _O_BINARY) != -1 &&
         _setmode(_fileno(stderr), _O_BINARY) != -1;
}

// Before main: the usage text is written before anything asks for the
// console.
[[maybe_unused]] const bool took_starters_console = TakeStartersConsole();
[[maybe_unused]] const bool writes_bytes = WriteBytesAsTheyAre();

class WindowsConsole : public Console {
 public:
  WindowsConsole() {
    // The status is drawn with the terminal's escape sequences, which a
    // console follows only when asked to, and an old one never does.
    const HANDLE error = GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    error_is_terminal_ =
        GetConsoleMode(error, &mode) != 0 &&
        SetConsoleMode(error, mode | ENABLE_PROCESSED_OUTPUT |
                                  ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
  }

  bool ErrorIsTerminal() const override { return error_is_terminal_; }
  int ErrorColumns() const override {
    CONSOLE_SCREEN_BUFFER_INFO info;
    if (GetConsoleScreenBufferInfo(GetStdHandle(STD_ERROR_HANDLE), &info) ==
        0) {
      return 0;
    }
    return info.srWindow.Right - info.srWindow.Left + 1;
  }
  bool WriteError(std::string_view text) override {
    return Write(GetStdHandle(STD_ERROR_HANDLE), text);
  }
  bool WriteOutput(std::string_view text) override {
    return Write(GetStdHandle(STD_OUTPUT_HANDLE), text);
  }
  bool InputIsTerminal() const override {
    return IsConsole(GetStdHandle(STD_INPUT_HANDLE));
  }
  void WaitForEnter() override {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    if (!IsConsole(input)) {
      WaitForLineEnd(input);
      return;
    }
    // The console's input and the request to quit, whichever comes first.
    const HANDLE quit = reinterpret_cast<HANDLE>(QuitSignals::Waker().native());
    const HANDLE waits[] = {input, quit};
    const DWORD count = QuitSignals::Waker().valid() ? 2 : 1;
    for (;;) {
      if (WaitForMultipleObjects(count, waits, FALSE, INFINITE) !=
          WAIT_OBJECT_0) {
        return;
      }
      INPUT_RECORD record;
      DWORD read = 0;
      if (ReadConsoleInputW(input, &record, 1, &read) == 0 || read == 0) {
        return;
      }
      if (record.EventType == KEY_EVENT && record.Event.KeyEvent.bKeyDown &&
          record.Event.KeyEvent.wVirtualKeyCode == VK_RETURN) {
        return;
      }
    }
  }

 private:
  static bool Write(HANDLE handle, std::string_view text) {
    if (!IsConsole(handle)) return WriteAll(handle, text);
    const std::wstring wide = WideText(text);
    DWORD written = 0;
    return WriteConsoleW(handle, wide.data(), static_cast<DWORD>(wide.size()),
                         &written, nullptr) != 0 &&
           written == wide.size();
  }

  // Standard input that is a file or a pipe: up to its next line feed.
  static void WaitForLineEnd(HANDLE input) {
    char c = 0;
    DWORD read = 0;
    while (ReadFile(input, &c, 1, &read, nullptr) != 0 && read == 1 &&
           c != '\n') {
    }
  }

  bool error_is_terminal_ = false;
};

}  // namespace

Console& ProcessConsole() {
  static WindowsConsole* const console = new WindowsConsole();
  return *console;
}

}  // namespace trovane
