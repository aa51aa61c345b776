#include "shell/console_front_end.h"

#include <poll.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cmath>

#include "platform/linux/unique_fd.h"
#include "platform/quit_signals.h"
#include "shell/window.h"

namespace trovane {
namespace {

constexpr auto kDrawInterval = std::chrono::milliseconds(100);
constexpr int kDefaultWidth = 80;

// Shortens `text` to `width` columns, one byte a column; control bytes show
// as "?" so that a name cannot move the cursor.
std::string Fit(std::string_view text, int width) {
  std::string shown;
  for (char c : text.substr(0, static_cast<size_t>(std::max(width, 0)))) {
    shown.push_back(static_cast<unsigned char>(c) < 0x20 || c == 0x7f ? '?'
                                                                      : c);
  }
  return shown;
}

std::string Bar(std::string_view name, const ProgressBar& bar, int width) {
  const int inner = std::max(width - 12, 10);
  const double fraction = std::clamp(bar.Fraction(), 0.0, 1.0);
  const int filled = static_cast<int>(std::lround(fraction * inner));
  std::string line(name);
  line += " [";
  line.append(static_cast<size_t>(filled), '#');
  line.append(static_cast<size_t>(inner - filled), '.');
  line += "] ";
  const int percent = static_cast<int>(std::lround(fraction * 100));
  if (percent < 100) line.push_back(' ');
  if (percent < 10) line.push_back(' ');
  line += std::to_string(percent) + "%";
  return line;
}

int TerminalWidth(int fd) {
  winsize size{};
  if (ioctl(fd, TIOCGWINSZ, &size) == 0 && size.ws_col > 0) {
    return size.ws_col - 1;
  }
  return kDefaultWidth;
}

}  // namespace

std::vector<std::string> StatusLines(const Window& window, int width) {
  std::string second = window.Filename().caption();
  if (const std::optional<ScanProgress> progress = window.Progress();
      progress && second.empty()) {
    second = ProgressText(*progress);
  }
  return {Fit(window.DoingWhat().caption(), width), Fit("  " + second, width),
          Bar("P1", window.P1(), width), Bar("P2", window.P2(), width)};
}

ConsoleFrontEnd::ConsoleFrontEnd(Mode mode, int output_fd, int input_fd,
                                 int summary_fd)
    : mode_(mode),
      output_fd_(output_fd),
      input_fd_(input_fd),
      summary_fd_(summary_fd) {}

void ConsoleFrontEnd::Show(Window& window) {
  window_ = &window;
  timers_.Watch(window.RightAfterLoad());
  timers_.Watch(window.Wait());
  if (mode_ == Mode::kTerminal) WriteOut("\x1b[?25l");  // hides the cursor
  Draw(/*now_anyway=*/true);
}

void ConsoleFrontEnd::Run() {
  for (;;) {
    ProcessPendingEvents();
    WaitForEvents();
  }
}

void ConsoleFrontEnd::ProcessPendingEvents() {
  if (QuitSignals::Pending()) window_->Unload(RunOutcome::kInterrupted);
  timers_.TickDue(TimerSchedule::Clock::now());
  Draw(/*now_anyway=*/false);
}

void ConsoleFrontEnd::WaitForEvents() {
  int timeout_ms = -1;
  if (const auto next = timers_.NextDue()) {
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(
        *next - TimerSchedule::Clock::now());
    timeout_ms = static_cast<int>(std::max<int64_t>(wait.count(), 0));
  }
  const std::vector<TimerSchedule::WakeFd> timer_fds = timers_.WakeFds();
  std::vector<pollfd> fds;
  if (QuitSignals::WakeFd() >= 0) {
    fds.push_back({QuitSignals::WakeFd(), POLLIN, 0});
  }
  const size_t first_timer_fd = fds.size();
  for (const TimerSchedule::WakeFd& fd : timer_fds) {
    fds.push_back({fd.fd, POLLIN, 0});
  }
  if (poll(fds.data(), fds.size(), timeout_ms) <= 0) return;
  if (first_timer_fd > 0 && fds[0].revents != 0) {
    char drained[64];
    while (read(fds[0].fd, drained, sizeof drained) > 0) {
    }
  }
  for (size_t i = first_timer_fd; i < fds.size(); ++i) {
    if (fds[i].revents != 0) timers_.Wake(timer_fds[i - first_timer_fd].timer);
  }
}

void ConsoleFrontEnd::Draw(bool now_anyway) {
  if (mode_ != Mode::kTerminal || window_ == nullptr) return;
  const auto now = std::chrono::steady_clock::now();
  const std::optional<ScanProgress> progress = window_->Progress();
  const std::string progress_text = progress ? ProgressText(*progress) : "";
  const bool changed = window_->revision() != drawn_revision_ ||
                       progress_text != drawn_progress_;
  if (!now_anyway && (!changed || now - last_draw_ < kDrawInterval)) return;
  last_draw_ = now;
  drawn_revision_ = window_->revision();
  drawn_progress_ = progress_text;
  std::string frame;
  if (drawn_lines_ > 0) frame += "\x1b[" + std::to_string(drawn_lines_) + "F";
  const std::vector<std::string> lines =
      StatusLines(*window_, TerminalWidth(output_fd_));
  for (const std::string& line : lines) frame += "\x1b[2K" + line + "\n";
  drawn_lines_ = static_cast<int>(lines.size());
  WriteOut(frame);
}

void ConsoleFrontEnd::MessageBox(std::string_view title,
                                 std::string_view text) {
  if (mode_ == Mode::kQuiet) {
    WriteOut(std::string(title) + "\n" + std::string(text) + "\n");
    return;
  }
  Draw(/*now_anyway=*/true);
  drawn_lines_ = 0;  // the box stays on screen above the next status
  WriteOut("\n" + std::string(title) + "\n" + std::string(text) + "\n");
  if (!isatty(input_fd_)) return;
  WriteOut("Press Enter to continue.\x1b[?25h\n");
  char c = 0;
  for (;;) {
    const ssize_t n = read(input_fd_, &c, 1);
    if (n < 0 && errno == EINTR) {
      if (QuitSignals::Pending()) window_->Unload(RunOutcome::kInterrupted);
      continue;
    }
    if (n <= 0 || c == '\n') break;
  }
  WriteOut("\x1b[?25l");
}

void ConsoleFrontEnd::ReportFailure(std::string_view text) {
  Draw(/*now_anyway=*/true);
  drawn_lines_ = 0;  // the message stays below the last status
  WriteOut(std::string(text) + "\n");
}

void ConsoleFrontEnd::ShowSummary(std::string_view summary) {
  WriteAll(summary_fd_, std::string(summary) + "\n");
}

void ConsoleFrontEnd::Close() {
  if (mode_ != Mode::kTerminal) return;
  Draw(/*now_anyway=*/true);
  WriteOut("\x1b[?25h");  // the cursor comes back
}

void ConsoleFrontEnd::WriteOut(std::string_view text) {
  WriteAll(output_fd_, text);
}

}  // namespace trovane
