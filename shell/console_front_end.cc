#include "shell/console_front_end.h"

#include <algorithm>
#include <cmath>

#include "platform/quit_signals.h"
#include "platform/text.h"
#include "platform/waitable.h"
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
    shown.push_back(IsControlCharacter(c) ? '?' : c);
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

// One column short of the terminal's width: a line that fills the last
// column leaves the cursor waiting at its end on some terminals.
int TerminalWidth(const Console& console) {
  const int columns = console.ErrorColumns();
  return columns > 0 ? columns - 1 : kDefaultWidth;
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

ConsoleFrontEnd::ConsoleFrontEnd(Mode mode, Console& console)
    : mode_(mode), console_(console) {}

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
  std::optional<std::chrono::milliseconds> timeout;
  if (const auto next = timers_.NextDue()) {
    timeout = std::chrono::ceil<std::chrono::milliseconds>(
        *next - TimerSchedule::Clock::now());
  }
  const std::vector<TimerSchedule::Waker> timer_wakers = timers_.Wakers();
  // The request to quit first: ProcessPendingEvents() sees it by itself.
  std::vector<Waitable> waitables = {QuitSignals::Waker()};
  for (const TimerSchedule::Waker& waker : timer_wakers) {
    waitables.push_back(waker.waitable);
  }
  const std::optional<size_t> ready = WaitForAny(waitables, timeout);
  if (ready && *ready > 0) timers_.Wake(timer_wakers[*ready - 1].timer);
}

std::string ConsoleFrontEnd::ProgressShown() const {
  const std::optional<ScanProgress> progress = window_->Progress();
  return progress ? ProgressText(*progress) : "";
}

bool ConsoleFrontEnd::Changed() const {
  return window_->revision() != drawn_revision_ ||
         ProgressShown() != drawn_progress_;
}

void ConsoleFrontEnd::Draw(bool now_anyway) {
  if (mode_ != Mode::kTerminal || window_ == nullptr) return;
  const auto now = std::chrono::steady_clock::now();
  if (!now_anyway && (!Changed() || now - last_draw_ < kDrawInterval)) return;
  last_draw_ = now;
  drawn_revision_ = window_->revision();
  drawn_progress_ = ProgressShown();
  std::string frame;
  if (drawn_lines_ > 0) frame += "\x1b[" + std::to_string(drawn_lines_) + "F";
  const std::vector<std::string> lines =
      StatusLines(*window_, TerminalWidth(console_));
  for (const std::string& line : lines) frame += "\x1b[2K" + line + "\n";
  drawn_lines_ = static_cast<int>(lines.size());
  WriteOut(frame);
}

void ConsoleFrontEnd::LeaveStatus() {
  if (mode_ != Mode::kTerminal || window_ == nullptr) return;
  if (drawn_lines_ > 0 || Changed()) Draw(/*now_anyway=*/true);
  // What follows is written below; the next status is drawn below that.
  drawn_lines_ = 0;
}

void ConsoleFrontEnd::MessageBox(std::string_view title, std::string_view text,
                                 const std::vector<std::string>& details) {
  const std::string message = std::string(title) + "\n" + std::string(text) +
                              "\n" + JoinedLines(details);
  if (mode_ == Mode::kQuiet) {
    WriteOut(message);
    return;
  }
  LeaveStatus();  // the box stays on screen above the next status
  WriteOut("\n" + message);
  if (!console_.InputIsTerminal()) return;
  WriteOut("Press Enter to continue.\x1b[?25h\n");
  console_.WaitForEnter();
  if (QuitSignals::Pending()) window_->Unload(RunOutcome::kInterrupted);
  WriteOut("\x1b[?25l");
}

void ConsoleFrontEnd::ReportFailure(std::string_view text) {
  LeaveStatus();  // the message stays below the last status
  WriteOut(std::string(text) + "\n");
}

void ConsoleFrontEnd::ShowSummary(const RunSummary& summary) {
  // The last status stays above the summary, which nothing draws over.
  LeaveStatus();
  if (!summary.details.empty()) WriteOut(JoinedLines(summary.details));
  console_.WriteOutput(JoinedLines(summary.lines));
}

void ConsoleFrontEnd::Close() {
  if (mode_ != Mode::kTerminal) return;
  // Only a status still drawn in place is brought up to date: one left
  // above the summary stays as it is.
  if (drawn_lines_ > 0) Draw(/*now_anyway=*/true);
  WriteOut("\x1b[?25h");  // the cursor comes back
}

}  // namespace trovane
