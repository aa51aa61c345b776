// What shows the main window to the user and delivers its events: the real
// window, the terminal, or nothing at all. The window's state lives in
// Window; a front end only draws it and turns the user's and the system's
// doings (ticks, closing, signals) into calls on it.
#ifndef TROVANE_SHELL_FRONT_END_H_
#define TROVANE_SHELL_FRONT_END_H_

#include <string>
#include <string_view>
#include <vector>

#include "shell/run_summary.h"

namespace trovane {

class Window;

class FrontEnd {
 public:
  virtual ~FrontEnd() = default;

  // Shows `window` and starts watching its timers. Called once, after the
  // window has loaded.
  virtual void Show(Window& window) = 0;

  // Delivers events until the window unloads, which ends the process.
  virtual void Run() = 0;

  // Lets the window process what is pending: repaints, due ticks of other
  // timers, the user closing the window, a quit signal.
  virtual void ProcessPendingEvents() = 0;

  // A modal information box with one OK button; returns when it is closed.
  // `details`, one line each, follow the text: the box's details in a
  // window, the lines after the text on a console. Empty for none.
  virtual void MessageBox(std::string_view title, std::string_view text,
                          const std::vector<std::string>& details) = 0;

  // Says why the run cannot go on: a box in the window, standard error
  // without one. Returns once the user has seen it; the window then
  // unloads.
  virtual void ReportFailure(std::string_view text) = 0;

  // The run's summary, as the window unloads, once its files are closed:
  // its lines go to standard output and its details to standard error in
  // every front end, and it is the last thing the user sees. A terminal
  // leaves its last status above it; a window shows it before it closes
  // itself (its status line, or a box when there is more to tell), unless
  // the run ended before completion. A second unload meanwhile (the user
  // closing the window, a signal) ends the process at once.
  virtual void ShowSummary(const RunSummary& summary) = 0;

  // The window goes away: the last of the display is put right (a terminal
  // gets its cursor back) without covering the summary. The process ends
  // right after.
  virtual void Close() = 0;
};

}  // namespace trovane

#endif  // TROVANE_SHELL_FRONT_END_H_
