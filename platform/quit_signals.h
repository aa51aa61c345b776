// The system's requests to quit count as the user closing the window:
// SIGINT, SIGTERM and SIGHUP on Linux, a console's Ctrl+C, Ctrl+Break, close
// and log-off events on Windows. The handlers only make a note and wake the
// event loop; the front end then unloads the window from the loop, where
// it is safe to log and close files.
#ifndef TROVANE_PLATFORM_QUIT_SIGNALS_H_
#define TROVANE_PLATFORM_QUIT_SIGNALS_H_

#include "platform/waitable.h"

namespace trovane {

class QuitSignals {
 public:
  // Installs the handlers; later calls do nothing.
  static void Install();
  // True once a request to quit has arrived.
  static bool Pending();
  // Ready once a request to quit has arrived, for loops that wait;
  // invalid before Install().
  static Waitable Waker();
};

}  // namespace trovane

#endif  // TROVANE_PLATFORM_QUIT_SIGNALS_H_
