#include "platform/quit_signals.h"

#include <windows.h>

#include <atomic>

namespace trovane {
namespace {

std::atomic<bool> pending{false};
// Set from the console's handler thread and kept for the life of the
// process: a manual-reset event, which nothing ever resets or closes.
HANDLE wake_event = nullptr;

BOOL WINAPI OnConsoleEvent(DWORD event) {
  pending.store(true);
  SetEvent(wake_event);
  switch (event) {
    case CTRL_CLOSE_EVENT:
    case CTRL_LOGOFF_EVENT:
    case CTRL_SHUTDOWN_EVENT:
      // The system ends the process as soon as this handler returns: it
      // waits instead, so that the unload, which ends the process itself,
      // runs within the time the system allows.
      Sleep(INFINITE);
      break;
    default:  // Ctrl+C and Ctrl+Break
      break;
  }
  return TRUE;
}

}  // namespace

void QuitSignals::Install() {
  if (wake_event != nullptr) return;
  wake_event = CreateEventW(nullptr, /*bManualReset=*/TRUE,
                            /*bInitialState=*/FALSE, nullptr);
  if (wake_event == nullptr) return;
  SetConsoleCtrlHandler(OnConsoleEvent, TRUE);
}

bool QuitSignals::Pending() { return pending.load(); }

Waitable QuitSignals::Waker() {
  return wake_event == nullptr
             ? Waitable()
             : Waitable(reinterpret_cast<intptr_t>(wake_event));
}

}  // namespace trovane
