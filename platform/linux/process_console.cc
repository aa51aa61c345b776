// The standard streams of this process, as Linux gives them.
#include <signal.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/console.h"
#include "platform/linux/unique_fd.h"
#include "platform/quit_signals.h"

namespace trovane {
namespace {

class LinuxConsole : public Console {
 public:
  // A reader that went away (a closed pipe) makes a write fail with EPIPE,
  // which the caller sees, instead of ending the process unseen.
  LinuxConsole() { signal(SIGPIPE, SIG_IGN); }

  bool ErrorIsTerminal() const override { return isatty(STDERR_FILENO) == 1; }
  int ErrorColumns() const override {
    winsize size{};
    if (ioctl(STDERR_FILENO, TIOCGWINSZ, &size) == 0) return size.ws_col;
    return 0;
  }
  bool WriteError(std::string_view text) override {
    return WriteAll(STDERR_FILENO, text);
  }
  bool WriteOutput(std::string_view text) override {
    return WriteAll(STDOUT_FILENO, text);
  }
  bool InputIsTerminal() const override { return isatty(STDIN_FILENO) == 1; }
  void WaitForEnter() override {
    // The quit signals' handlers do not restart a read, so a signal ends
    // the wait at once.
    char c = 0;
    for (;;) {
      const ssize_t n = read(STDIN_FILENO, &c, 1);
      if (n < 0 && errno == EINTR && !QuitSignals::Pending()) continue;
      if (n <= 0 || c == '\n') return;
    }
  }
};

}  // namespace

Console& ProcessConsole() {
  static LinuxConsole* const console = new LinuxConsole();
  return *console;
}

}  // namespace trovane
