// Drives the system's own window in a process of its own, which the
// window's unload ends as the program's end does:
//   win32_window_driver close ROOT        closes the idle window
//   win32_window_driver close-in-pass ROOT closes it while a pass yields
//   win32_window_driver quit ROOT         a console's Ctrl+C, idle
//   win32_window_driver screenshot SCANNING.bmp BOX.bmp
// ROOT is a sandbox folder, whose activity log the caller reads. The
// screenshots are of the screen: the window while the scan batch lists the
// disk, then the window at the disk map scan with the problems box over it.
#include <windows.h>
// The system's MessageBox is a macro naming MessageBoxA or MessageBoxW;
// here MessageBox is the window's.
#undef MessageBox

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/quit_signals.h"
#include "platform/windows/windows_file_system.h"
#include "tests/shell/win32_window_harness.h"
#include "tests/support/memory_file_system.h"

namespace {

using trovane::RunOutcome;
using trovane::Window;
using trovane::testing::Win32WindowHarness;

void EndProcess(int status) {
  std::fflush(nullptr);
  std::_Exit(status);
}

// The part `area` of the screen as a 24-bit bitmap file.
bool SaveScreen(const RECT& area, const char* path) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  const HDC screen = GetDC(nullptr);
  const HDC memory = CreateCompatibleDC(screen);
  const HBITMAP bitmap = CreateCompatibleBitmap(screen, width, height);
  const HGDIOBJ previous = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, width, height, screen, area.left, area.top, SRCCOPY);
  SelectObject(memory, previous);
  BITMAPINFOHEADER header{};
  header.biSize = sizeof header;
  header.biWidth = width;
  header.biHeight = height;  // bottom row first, as the file keeps them
  header.biPlanes = 1;
  header.biBitCount = 24;
  header.biCompression = BI_RGB;
  const int row = (width * 3 + 3) / 4 * 4;
  std::vector<char> pixels(static_cast<size_t>(row) * height);
  const int rows =
      GetDIBits(memory, bitmap, 0, height, pixels.data(),
                reinterpret_cast<BITMAPINFO*>(&header), DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  if (rows != height) return false;
  BITMAPFILEHEADER file{};
  file.bfType = 0x4D42;  // "BM"
  file.bfOffBits = sizeof file + sizeof header;
  file.bfSize = file.bfOffBits + static_cast<DWORD>(pixels.size());
  std::ofstream out(path, std::ios::binary);
  out.write(reinterpret_cast<const char*>(&file), sizeof file);
  out.write(reinterpret_cast<const char*>(&header), sizeof header);
  out.write(pixels.data(), static_cast<std::streamsize>(pixels.size()));
  out.close();
  return static_cast<bool>(out);
}

// Where the window and anything over it lie, with a margin.
RECT AroundWindow(HWND window) {
  RECT area;
  GetWindowRect(window, &area);
  InflateRect(&area, 16, 16);
  area.left = std::max(area.left, 0L);
  area.top = std::max(area.top, 0L);
  return area;
}

// The message box's photograph is taken from inside its own loop, once it
// has drawn, and then the box is closed.
struct BoxShot {
  HWND window = nullptr;
  const char* path = nullptr;
  bool saved = false;
};
BoxShot box_shot;

void CALLBACK TakeBoxShot(HWND /*unused*/, UINT /*message*/, UINT_PTR timer,
                          DWORD /*time*/) {
  KillTimer(nullptr, timer);
  RECT area = AroundWindow(box_shot.window);
  if (const HWND box = Win32WindowHarness::ThreadWindow(L"#32770")) {
    RECT box_area;
    GetWindowRect(box, &box_area);
    UnionRect(&area, &area, &box_area);
    box_shot.saved = SaveScreen(area, box_shot.path);
    PostMessageW(box, WM_COMMAND, IDOK, 0);
  }
}

int Screenshots(const char* scanning, const char* at_box) {
  trovane::testing::MemoryFileSystem files;
  Win32WindowHarness harness(files, "C:", EndProcess);
  Window& window = harness.window();
  const HWND shown = harness.Show();
  SetWindowPos(shown, nullptr, 40, 40, 0, 0, SWP_NOSIZE | SWP_NOZORDER);

  // The wait for the scan batch, the count as the interpreter shares it.
  window.FileList().AddItem("Main=vek.exe");
  window.DoingWhat().SetCaption("Mapping disk drive contents...");
  window.StartScanBatch("C:\\Run\\Map.Bat");
  window.Wait().SetEnabled(true);
  harness.launcher().listed_paths = 1'234'567;
  harness.ProcessEventsUntil([] { return false; },
                             std::chrono::milliseconds(500));
  if (!SaveScreen(AroundWindow(shown), scanning)) return 1;

  // The disk map scan, then the box that says what is wrong.
  window.Wait().SetEnabled(false);
  window.DoingWhat().SetCaption("Currently scanning:");
  window.Filename().SetCaption("C:\\PROGRAM FILES\\VEK\\DATA...");
  window.P1().SetValue(40.0F);
  window.P2().SetValue(70.0F);
  harness.ProcessEventsUntil([] { return false; },
                             std::chrono::milliseconds(300));
  box_shot = {shown, at_box, false};
  SetTimer(nullptr, 0, 500, TakeBoxShot);
  window.MessageBox("Trovane Setup",
                    "Some entries could not be found: Main, Data.");
  return box_shot.saved ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string_view mode = argc > 1 ? argv[1] : "";
  if (mode == "screenshot" && argc == 4) return Screenshots(argv[2], argv[3]);
  if ((mode != "close" && mode != "close-in-pass" && mode != "quit") ||
      argc != 3) {
    std::fprintf(stderr,
                 "usage: %s close|close-in-pass|quit ROOT\n"
                 "       %s screenshot SCANNING.bmp BOX.bmp\n",
                 argv[0], argv[0]);
    return 64;
  }
  trovane::WindowsFileSystem files(argv[2]);
  Win32WindowHarness harness(files, argv[2], EndProcess);
  if (mode == "quit") trovane::QuitSignals::Install();
  HWND shown = nullptr;
  if (mode == "close-in-pass") {
    harness.passes().analysis = [&shown](Window& window) {
      window.LogActivity("Analysing");
      PostMessageW(shown, WM_CLOSE, 0, 0);
      window.DoEvents();
      window.LogActivity("Went on after the close");
    };
  }
  shown = harness.Show();
  if (mode == "close") PostMessageW(shown, WM_CLOSE, 0, 0);
  if (mode == "quit") GenerateConsoleCtrlEvent(CTRL_C_EVENT, 0);
  harness.front_end().Run();
  return 65;  // the unload never came
}
