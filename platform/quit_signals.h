// SIGINT, SIGTERM and SIGHUP count as the user closing the window. The
// handlers only make a note and wake the event loop; the front end then
// unloads the window from the loop, where it is safe to log and close files.
#ifndef TROVANE_SHELL_QUIT_SIGNALS_H_
#define TROVANE_SHELL_QUIT_SIGNALS_H_

namespace trovane {

class QuitSignals {
 public:
  // Installs the handlers; later calls do nothing.
  static void Install();
  // True once one of the signals has arrived.
  static bool Pending();
  // A descriptor that becomes readable when a signal arrives, for event
  // loops that wait on descriptors; -1 before Install().
  static int WakeFd();
};

}  // namespace trovane

#endif  // TROVANE_SHELL_QUIT_SIGNALS_H_
