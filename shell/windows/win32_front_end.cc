// The front end of the system's own window: a message loop that also waits
// on the timers' wakers and the request to quit.
#include <windows.h>
// The system's MessageBox is a macro naming MessageBoxA; here it is the
// front end's.
#undef MessageBox

#include <commctrl.h>

#include <chrono>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/console.h"
#include "platform/quit_signals.h"
#include "platform/version.h"
#include "platform/windows/wide_text.h"
#include "shell/run_summary.h"
#include "shell/window.h"
#include "shell/window_front_end.h"
#include "shell/windows/win32_window_view.h"

namespace trovane {
namespace {

// How often the display catches up with the window while the loop idles.
constexpr UINT kRefreshIntervalMs = 50;
constexpr UINT_PTR kRefreshTimer = 1;

class Win32FrontEnd : public FrontEnd {
 public:
  Win32FrontEnd();

  void Show(Window& window) override;
  void Run() override;
  void ProcessPendingEvents() override;
  void MessageBox(std::string_view title, std::string_view text,
                  const std::vector<std::string>& details) override;
  void ReportFailure(std::string_view text) override;
  void ShowSummary(const RunSummary& summary) override;
  void Close() override;

 private:
  // Ticks `timer` from a system timer that runs while it is enabled.
  void Watch(Timer& timer);
  void OnTimer(UINT_PTR id);
  // Waits up to `timeout_ms` for a message, a waker of a timer that may
  // tick or the request to quit, and serves the two last at once.
  void WaitForEvents(DWORD timeout_ms);
  // Dispatches the messages that are waiting; false once the loop is asked
  // to end.
  bool DispatchWaiting();
  void UnloadIfSignalled();
  HWND Owner() const { return view_ ? view_->handle() : nullptr; }

  Window* window_ = nullptr;
  std::unique_ptr<Win32WindowView> view_;
  // The system timer of each watched timer has its place here, from 2.
  std::vector<Timer*> timers_;
};

Win32FrontEnd::Win32FrontEnd() {
  const INITCOMMONCONTROLSEX controls{
      sizeof(INITCOMMONCONTROLSEX), ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&controls);
}

void Win32FrontEnd::Show(Window& window) {
  window_ = &window;
  view_ = std::make_unique<Win32WindowView>(
      window, [this](UINT_PTR id) { OnTimer(id); });
  Watch(window.RightAfterLoad());
  Watch(window.Wait());
  SetTimer(view_->handle(), kRefreshTimer, kRefreshIntervalMs, nullptr);
  view_->Show();
}

void Win32FrontEnd::Run() {
  while (DispatchWaiting()) WaitForEvents(INFINITE);
  // The loop ends only when something outside asks it to: that counts as
  // closing the window.
  window_->Unload(RunOutcome::kInterrupted);
}

void Win32FrontEnd::ProcessPendingEvents() {
  view_->Redraw();
  UnloadIfSignalled();
  WaitForEvents(0);
  DispatchWaiting();
}

void Win32FrontEnd::MessageBox(std::string_view title, std::string_view text,
                               const std::vector<std::string>& details) {
  // The system's box has no details of its own: they follow the text. The
  // box runs a loop of its own: the window's timers, the refresh and the
  // quit signals are served meanwhile, while the window takes no input.
  std::string shown(text);
  if (!details.empty()) shown += "\n\n" + JoinedLines(details);
  MessageBoxW(Owner(), WideText(shown).c_str(), WideText(title).c_str(),
              MB_ICONINFORMATION | MB_OK);
}

void Win32FrontEnd::ReportFailure(std::string_view text) {
  MessageBoxW(Owner(), WideText(text).c_str(), WideText(kProductName).c_str(),
              MB_ICONWARNING | MB_OK);
}

void Win32FrontEnd::ShowSummary(const RunSummary& summary) {
  WriteSummaryToStreams(ProcessConsole(), summary);
  // A run that ended before completion was closed, signalled, or told why
  // in a box already.
  if (!view_ || summary.outcome == RunOutcome::kInterrupted) return;
  view_->ShowStatus(summary.StatusLine());
  if (summary.all_well) {
    // Closing the window meanwhile ends the run at once.
    const auto until = std::chrono::steady_clock::now() + kSummaryShownFor;
    for (auto now = std::chrono::steady_clock::now(); now < until;
         now = std::chrono::steady_clock::now()) {
      WaitForEvents(static_cast<DWORD>(
          std::chrono::ceil<std::chrono::milliseconds>(until - now).count()));
      if (!DispatchWaiting()) return;
    }
    return;
  }
  MessageBoxW(Owner(), WideText(summary.BoxText()).c_str(),
              WideText(kProductName).c_str(),
              (summary.outcome == RunOutcome::kProblems ? MB_ICONWARNING
                                                        : MB_ICONINFORMATION) |
                  MB_OK);
}

void Win32FrontEnd::Close() {
  // The controls get the last state; nothing waits on the display, which
  // goes away with the process right after.
  if (view_) view_->Refresh();
}

void Win32FrontEnd::Watch(Timer& timer) {
  timers_.push_back(&timer);
  const UINT_PTR id = kRefreshTimer + timers_.size();
  const HWND owner = view_->handle();
  timer.SetObserver([owner, id, &timer](bool enabled) {
    // The system's timers fire no more often than every ten milliseconds
    // or so; a timer with wakers is ticked by them at once all the same.
    if (enabled) {
      SetTimer(owner, id, static_cast<UINT>(timer.interval().count()), nullptr);
    } else {
      KillTimer(owner, id);
    }
  });
  if (timer.enabled()) {
    SetTimer(owner, id, static_cast<UINT>(timer.interval().count()), nullptr);
  }
}

void Win32FrontEnd::OnTimer(UINT_PTR id) {
  if (id == kRefreshTimer) {
    // Also catches a request to quit that came with no loop waiting on it.
    UnloadIfSignalled();
    view_->Refresh();
    return;
  }
  const size_t place = id - kRefreshTimer - 1;
  // A tick may arrive while the previous one still runs, since the passes
  // yield to this loop; Timer::Tick refuses those itself.
  if (place < timers_.size()) timers_[place]->Tick();
}

void Win32FrontEnd::WaitForEvents(DWORD timeout_ms) {
  std::vector<HANDLE> handles;
  std::vector<Timer*> woken;
  // The request to quit first: it is never taken in, the unload ends the
  // process.
  if (const Waitable quit = QuitSignals::Waker(); quit.valid()) {
    handles.push_back(reinterpret_cast<HANDLE>(quit.native()));
    woken.push_back(nullptr);
  }
  for (Timer* timer : timers_) {
    // A waker left ready by a timer that may not tick must not keep the
    // loop awake.
    if (!timer->enabled() || timer->ticking()) continue;
    for (const Waitable& waker : timer->wakers()) {
      if (handles.size() == MAXIMUM_WAIT_OBJECTS - 1) break;
      handles.push_back(reinterpret_cast<HANDLE>(waker.native()));
      woken.push_back(timer);
    }
  }
  const DWORD count = static_cast<DWORD>(handles.size());
  const DWORD ready = MsgWaitForMultipleObjectsEx(
      count, handles.data(), timeout_ms, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
  if (ready >= WAIT_OBJECT_0 + count) return;  // a message, or the timeout
  if (Timer* timer = woken[ready - WAIT_OBJECT_0]) {
    timer->Tick();
  } else {
    UnloadIfSignalled();
  }
}

bool Win32FrontEnd::DispatchWaiting() {
  MSG message;
  while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE) != 0) {
    if (message.message == WM_QUIT) return false;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  return true;
}

void Win32FrontEnd::UnloadIfSignalled() {
  if (QuitSignals::Pending() && window_ != nullptr) {
    window_->Unload(RunOutcome::kInterrupted);
  }
}

}  // namespace

std::unique_ptr<FrontEnd> MakeWindowFrontEnd(int& /*argc*/, char** /*argv*/) {
  return std::make_unique<Win32FrontEnd>();
}

}  // namespace trovane
