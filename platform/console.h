// The standard streams a run without a window talks through: the status it
// draws and the messages it gives go to standard error, the summary to
// standard output, and a message waits for Enter on standard input.
#ifndef TROVANE_PLATFORM_CONSOLE_H_
#define TROVANE_PLATFORM_CONSOLE_H_

#include <string_view>

namespace trovane {

class Console {
 public:
  virtual ~Console() = default;

  // True when standard error is a terminal, where a status can be drawn.
  virtual bool ErrorIsTerminal() const = 0;
  // How many columns the terminal on standard error has; 0 when it cannot
  // be told.
  virtual int ErrorColumns() const = 0;
  // Each true when every byte was written.
  virtual bool WriteError(std::string_view text) = 0;
  virtual bool WriteOutput(std::string_view text) = 0;

  // True when standard input is a terminal, where a user can press Enter.
  virtual bool InputIsTerminal() const = 0;
  // Waits until Enter is pressed, the input ends, or a request to quit
  // arrives (then QuitSignals::Pending() tells).
  virtual void WaitForEnter() = 0;
};

// The standard streams of this process. Once it is made, a write to a
// stream whose reader has gone fails and is told as such, rather than
// ending the process (on Linux SIGPIPE is ignored from then on).
Console& ProcessConsole();

}  // namespace trovane

#endif  // TROVANE_PLATFORM_CONSOLE_H_
