#include "platform/quit_signals.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <csignal>

namespace trovane {
namespace {

std::atomic<bool> pending{false};
// Written from the signal handler and kept for the life of the process:
// plain descriptors, which nothing ever closes.
int wake_pipe[2] = {-1, -1};

void OnQuitSignal(int /*signal_number*/) {
  pending.store(true);
  const char byte = 1;
  (void)!write(wake_pipe[1], &byte, 1);
}

}  // namespace

void QuitSignals::Install() {
  if (wake_pipe[0] >= 0) return;
  if (pipe2(wake_pipe, O_CLOEXEC | O_NONBLOCK) != 0) return;
  struct sigaction action {};
  action.sa_handler = OnQuitSignal;
  sigemptyset(&action.sa_mask);
  action.sa_flags = 0;  // no restart: a blocking read returns to look
  for (const int signal_number : {SIGINT, SIGTERM, SIGHUP}) {
    sigaction(signal_number, &action, nullptr);
  }
}

bool QuitSignals::Pending() { return pending.load(); }

Waitable QuitSignals::Waker() {
  return wake_pipe[0] < 0 ? Waitable() : Waitable(wake_pipe[0]);
}

}  // namespace trovane
