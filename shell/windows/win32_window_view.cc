#include "shell/windows/win32_window_view.h"

#include <commctrl.h>

#include "platform/windows/wide_text.h"
#include "shell/drawn_state.h"
#include "shell/window.h"
#include "shell/windows/resources.h"

namespace trovane {
namespace {

// No maximise button and no sizing frame: a bigger client area would
// reveal FileList and Start.
constexpr DWORD kWindowStyle =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
constexpr DWORD kChildStyle = WS_CHILD | WS_CLIPSIBLINGS;
constexpr int kTwipsPerInch = 1440;

int Scaled(int twips, UINT dpi) {
  return MulDiv(twips, static_cast<int>(dpi), kTwipsPerInch);
}

void RegisterWindowClass() {
  static const bool registered = [] {
    const HINSTANCE instance = GetModuleHandleW(nullptr);
    WNDCLASSEXW window_class{};
    window_class.cbSize = sizeof window_class;
    window_class.lpfnWndProc = DefWindowProcW;
    window_class.hInstance = instance;
    window_class.hIcon = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(TROVANE_ICON), IMAGE_ICON,
                   GetSystemMetrics(SM_CXICON), GetSystemMetrics(SM_CYICON),
                   LR_DEFAULTCOLOR));
    window_class.hIconSm = static_cast<HICON>(
        LoadImageW(instance, MAKEINTRESOURCEW(TROVANE_ICON), IMAGE_ICON,
                   GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON),
                   LR_DEFAULTCOLOR));
    window_class.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    window_class.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    window_class.lpszClassName = Win32WindowView::kClassName;
    return RegisterClassExW(&window_class) != 0;
  }();
  (void)registered;
}

// The child control of one row of the twip table; timers have none.
HWND MakeControl(HWND parent, const ControlPlacement& placement, int id) {
  const wchar_t* control_class = nullptr;
  DWORD style = kChildStyle;
  switch (placement.kind) {
    case ControlKind::kTimer:
      return nullptr;
    case ControlKind::kProgressBar:
      control_class = PROGRESS_CLASSW;
      style |= WS_VISIBLE | (placement.name == "P1" ? PBS_SMOOTH : 0);
      break;
    case ControlKind::kListBox:
      // Below the client area already; hidden too, it stays out of sight
      // and out of the keyboard's reach.
      control_class = L"LISTBOX";
      style |= WS_VSCROLL | LBS_NOINTEGRALHEIGHT;
      break;
    case ControlKind::kCommandButton:
      control_class = L"BUTTON";
      style |= BS_PUSHBUTTON;
      break;
    case ControlKind::kLabel:
      // Captions are names and paths: an "&" in one is shown as it is.
      control_class = L"STATIC";
      style |= WS_VISIBLE | SS_LEFTNOWORDWRAP | SS_NOPREFIX;
      break;
  }
  const HWND control =
      CreateWindowExW(0, control_class, L"", style, 0, 0, 0, 0, parent,
                      reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                      GetModuleHandleW(nullptr), nullptr);
  // Stacked in the window's creation order, later above earlier (the
  // system puts a new child below its siblings): P1 covers the top pixel
  // row of P2.
  SetWindowPos(control, HWND_TOP, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  if (placement.kind == ControlKind::kProgressBar) {
    SendMessageW(control, PBM_SETRANGE32, 0, Win32WindowView::kBarSteps);
  }
  return control;
}

}  // namespace

Win32WindowView::Win32WindowView(Window& window,
                                 std::function<void(UINT_PTR)> on_timer)
    : window_(window), on_timer_(std::move(on_timer)) {
  RegisterWindowClass();
  window_handle_ = CreateWindowExW(
      0, kClassName, WideText(kWindowCaption).c_str(), kWindowStyle,
      CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr,
      nullptr, GetModuleHandleW(nullptr), nullptr);
  if (window_handle_ == nullptr) return;
  SetWindowLongPtrW(window_handle_, GWLP_USERDATA,
                    reinterpret_cast<LONG_PTR>(this));
  SetWindowLongPtrW(window_handle_, GWLP_WNDPROC,
                    reinterpret_cast<LONG_PTR>(&Procedure));
  for (size_t i = 0; i < kControls.size(); ++i) {
    const HWND control =
        MakeControl(window_handle_, kControls[i], static_cast<int>(i) + 1);
    if (kControls[i].name == "P2") p2_ = control;
    if (kControls[i].name == "FileList") file_list_ = control;
    if (kControls[i].name == "Start") start_ = control;
    if (kControls[i].name == "P1") p1_ = control;
    if (kControls[i].name == "Filename") filename_ = control;
    if (kControls[i].name == "DoingWhat") doing_what_ = control;
  }
  SetWindowTextW(start_, WideText(window_.Start().caption()).c_str());
  LayOut(GetDpiForWindow(window_handle_));
  Refresh();
}

Win32WindowView::~Win32WindowView() {
  if (window_handle_ != nullptr) DestroyWindow(window_handle_);
  if (font_ != nullptr) DeleteObject(font_);
}

void Win32WindowView::Show() {
  ShowWindow(window_handle_, SW_SHOWNORMAL);
  UpdateWindow(window_handle_);
}

void Win32WindowView::Redraw() {
  if (window_.revision() != drawn_revision_) Draw();
}

void Win32WindowView::Refresh() {
  Redraw();
  ShowProgress();
  EnableWindow(start_, window_.Start().enabled() ? TRUE : FALSE);
  SyncFileList();
}

void Win32WindowView::ShowStatus(std::string_view text) {
  Redraw();
  SetWindowTextW(doing_what_, WideText(text).c_str());
}

LRESULT CALLBACK Win32WindowView::Procedure(HWND handle, UINT message,
                                            WPARAM wparam, LPARAM lparam) {
  auto* view = reinterpret_cast<Win32WindowView*>(
      GetWindowLongPtrW(handle, GWLP_USERDATA));
  if (view == nullptr) return DefWindowProcW(handle, message, wparam, lparam);
  return view->Handle(message, wparam, lparam);
}

LRESULT Win32WindowView::Handle(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_TIMER:
      on_timer_(wparam);
      return 0;
    case WM_CLOSE:
      // The unload is never cancelled, and it ends the process.
      window_.Unload(RunOutcome::kInterrupted);
    case WM_ENDSESSION:
      // The session ends: as on Linux when the desktop goes away.
      if (wparam != FALSE) window_.Unload(RunOutcome::kInterrupted);
      return 0;
    case WM_DPICHANGED: {
      // Moved to a monitor of another density: laid out anew, where the
      // system suggests.
      LayOut(HIWORD(wparam));
      const RECT* suggested = reinterpret_cast<const RECT*>(lparam);
      SetWindowPos(window_handle_, nullptr, suggested->left, suggested->top, 0,
                   0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
      return 0;
    }
    default:
      return DefWindowProcW(window_handle_, message, wparam, lparam);
  }
}

void Win32WindowView::LayOut(UINT dpi) {
  if (dpi == 0) dpi = USER_DEFAULT_SCREEN_DPI;
  for (size_t i = 0; i < kControls.size(); ++i) {
    const ControlPlacement& placement = kControls[i];
    const HWND control = GetDlgItem(window_handle_, static_cast<int>(i) + 1);
    if (control == nullptr) continue;
    SetWindowPos(control, nullptr, Scaled(placement.left, dpi),
                 Scaled(placement.top, dpi), Scaled(placement.width, dpi),
                 Scaled(placement.height, dpi), SWP_NOZORDER | SWP_NOACTIVATE);
  }
  RECT frame{0, 0, Scaled(kClientWidthTwips, dpi),
             Scaled(kClientHeightTwips, dpi)};
  AdjustWindowRectExForDpi(&frame, kWindowStyle, FALSE, 0, dpi);
  SetWindowPos(window_handle_, nullptr, 0, 0, frame.right - frame.left,
               frame.bottom - frame.top,
               SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
  // The desktop's message font, at the monitor's density.
  NONCLIENTMETRICSW metrics{};
  metrics.cbSize = sizeof metrics;
  if (SystemParametersInfoForDpi(SPI_GETNONCLIENTMETRICS, sizeof metrics,
                                 &metrics, 0, dpi) == 0) {
    return;
  }
  const HFONT font = CreateFontIndirectW(&metrics.lfMessageFont);
  for (const HWND control :
       {p2_, file_list_, start_, p1_, filename_, doing_what_}) {
    SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
  }
  if (font_ != nullptr) DeleteObject(font_);
  font_ = font;
}

void Win32WindowView::ShowProgress() {
  const std::optional<ScanProgress> progress = window_.Progress();
  if (!progress || !window_.Filename().caption().empty()) return;
  std::wstring text = WideText(ProgressText(*progress));
  if (text == shown_filename_) return;
  SetWindowTextW(filename_, text.c_str());
  shown_filename_ = std::move(text);
}

void Win32WindowView::Draw() {
  drawn_revision_ = window_.revision();
  SetWindowTextW(doing_what_, WideText(window_.DoingWhat().caption()).c_str());
  shown_filename_ = WideText(window_.Filename().caption());
  SetWindowTextW(filename_, shown_filename_.c_str());
  SendMessageW(p1_, PBM_SETPOS, FilledSteps(window_.P1(), kBarSteps), 0);
  SendMessageW(p2_, PBM_SETPOS, FilledSteps(window_.P2(), kBarSteps), 0);
}

void Win32WindowView::SyncFileList() {
  const std::vector<std::string>& items = window_.FileList().items();
  if (items == listed_items_) return;
  const ListStretch stretch = ChangedStretch(listed_items_, items);
  for (size_t row = listed_items_.size() - stretch.tail;
       row-- > stretch.head;) {
    SendMessageW(file_list_, LB_DELETESTRING, row, 0);
  }
  for (size_t i = stretch.head; i < items.size() - stretch.tail; ++i) {
    SendMessageW(file_list_, LB_INSERTSTRING, i,
                 reinterpret_cast<LPARAM>(WideText(items[i]).c_str()));
  }
  listed_items_ = items;
}

}  // namespace trovane
