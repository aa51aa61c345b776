// The front ends without a window: the terminal, which draws the status
// line, the file-name label and both progress bars in place on standard
// error, and quiet, which shows nothing. Both run the window's timers in an
// event loop of their own.
#ifndef TROVANE_SHELL_CONSOLE_FRONT_END_H_
#define TROVANE_SHELL_CONSOLE_FRONT_END_H_

#include <chrono>
#include <string>
#include <vector>

#include "platform/console.h"
#include "shell/front_end.h"
#include "shell/timer_schedule.h"

namespace trovane {

class ConsoleFrontEnd : public FrontEnd {
 public:
  enum class Mode { kTerminal, kQuiet };

  // The status and the messages go to the console's standard error, the
  // summary to its standard output.
  ConsoleFrontEnd(Mode mode, Console& console);

  void Show(Window& window) override;
  void Run() override;
  void ProcessPendingEvents() override;
  void MessageBox(std::string_view title, std::string_view text,
                  const std::vector<std::string>& details) override;
  void ReportFailure(std::string_view text) override;
  void ShowSummary(const RunSummary& summary) override;
  void Close() override;

 private:
  // Sleeps until the next timer is due, a timer's waker is ready or a
  // request to quit arrives.
  void WaitForEvents();
  // Redraws the status when something changed, at most ten times a second
  // unless `now_anyway`.
  void Draw(bool now_anyway);
  // Leaves the status as it stands now on the screen, for what is written
  // below it to stay: drawn afresh when it changed since it was last left.
  void LeaveStatus();
  // What the second line shows of the scan's progress; empty without it.
  std::string ProgressShown() const;
  // True when the status differs from the one drawn last.
  bool Changed() const;
  void WriteOut(std::string_view text) { console_.WriteError(text); }

  Mode mode_;
  Console& console_;
  std::string drawn_progress_;
  Window* window_ = nullptr;
  TimerSchedule timers_;
  uint64_t drawn_revision_ = 0;
  int drawn_lines_ = 0;
  std::chrono::steady_clock::time_point last_draw_{};
};

// The four lines the terminal shows: status, file name and the two bars,
// each at most `width` columns wide. While the scan batch lists the disk
// and no file name is shown, the second line tells how far it has got.
std::vector<std::string> StatusLines(const Window& window, int width);

}  // namespace trovane

#endif  // TROVANE_SHELL_CONSOLE_FRONT_END_H_
