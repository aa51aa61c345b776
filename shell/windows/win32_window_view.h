// The main window drawn with the system's own controls: a fixed client
// area of 5610 by 1440 twips (374 by 96 pixels at 96 dots an inch, more on
// a denser monitor) with one child control per control of the twip table.
// The view only mirrors the window's state; closing it is the user closing
// the window, which unloads it.
#ifndef TROVANE_SHELL_WINDOWS_WIN32_WINDOW_VIEW_H_
#define TROVANE_SHELL_WINDOWS_WIN32_WINDOW_VIEW_H_

#include <windows.h>
// The system's MessageBox is a macro naming MessageBoxA or MessageBoxW;
// here MessageBox is the window's.
#undef MessageBox

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "shell/window_layout.h"

namespace trovane {

class Window;

class Win32WindowView {
 public:
  // The window class's name, by which tests and tools find the window.
  static constexpr wchar_t kClassName[] = L"TrovaneSetupWindow";
  // How many steps a progress bar is drawn in: the window's bars hold
  // single-precision numbers far beyond the control's range.
  static constexpr int kBarSteps = 10000;

  // The identifier of the child control `name` of the twip table: its place
  // there, from 1. A name the table lacks does not compile.
  static consteval int ControlId(std::string_view name) {
    for (size_t i = 0; i < kControls.size(); ++i) {
      if (kControls[i].name == name) return static_cast<int>(i) + 1;
    }
    throw "no such control";
  }

  // Makes the window, not yet shown; `on_timer` gets the identifier of
  // each of the window's system timers that fires.
  Win32WindowView(Window& window, std::function<void(UINT_PTR)> on_timer);
  Win32WindowView(const Win32WindowView&) = delete;
  Win32WindowView& operator=(const Win32WindowView&) = delete;
  ~Win32WindowView();

  HWND handle() const { return window_handle_; }
  void Show();

  // Redraws the labels and the progress bars when the window's revision
  // has moved since the last time.
  void Redraw();

  // Redraws, and brings FileList and Start up to date too. Those two are
  // never seen and change no revision, so they are compared outright; that
  // is worth doing now and then, not on every yield of a pass.
  void Refresh();

  // Shows `text` in the status line, whatever DoingWhat says: the run's
  // summary, once it is done.
  void ShowStatus(std::string_view text);

 private:
  static LRESULT CALLBACK Procedure(HWND handle, UINT message, WPARAM wparam,
                                    LPARAM lparam);
  LRESULT Handle(UINT message, WPARAM wparam, LPARAM lparam);
  // Places the controls and sizes the window for `dpi` dots an inch.
  void LayOut(UINT dpi);
  void Draw();
  // While the scan batch lists the disk and no file name is shown, the
  // file-name label tells how far it has got.
  void ShowProgress();
  void SyncFileList();

  Window& window_;
  std::function<void(UINT_PTR)> on_timer_;
  HWND window_handle_ = nullptr;
  HWND p2_ = nullptr;
  HWND file_list_ = nullptr;
  HWND start_ = nullptr;
  HWND p1_ = nullptr;
  HWND filename_ = nullptr;
  HWND doing_what_ = nullptr;
  HFONT font_ = nullptr;
  std::optional<uint64_t> drawn_revision_;  // none before the first draw
  std::wstring shown_filename_;
  std::vector<std::string> listed_items_;
};

}  // namespace trovane

#endif  // TROVANE_SHELL_WINDOWS_WIN32_WINDOW_VIEW_H_
