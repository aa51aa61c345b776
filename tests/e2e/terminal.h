// A real terminal for a whole run: tmux emulates it, its server's socket in
// the sandbox, and tells what its screen shows, as a user would see it.
#ifndef TROVANE_TESTS_E2E_TERMINAL_H_
#define TROVANE_TESTS_E2E_TERMINAL_H_

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/child_process.h"
#include "tests/support/sandbox.h"

namespace trovane::testing {

class Terminal {
 public:
  // A terminal `columns` wide and `rows` high, its tmux server a child of
  // this process.
  Terminal(const Sandbox& sandbox, int columns, int rows);
  Terminal(const Terminal&) = delete;
  Terminal& operator=(const Terminal&) = delete;
  // Ends tmux's server, and with it whatever still runs in the terminal.
  ~Terminal();

  // Runs `command` in the terminal, in `folder`, with exactly
  // `environment`; returns at once.
  void Start(const std::vector<std::string>& command,
             const std::map<std::string, std::string>& environment,
             const std::string& folder);

  // Waits for the command's end, pressing Enter whenever the screen asks
  // for it, as a user does; the exit status, -1 when it did not end within
  // a minute.
  int WaitForEnd();

  // The screen's rows, blank rows at the bottom left out.
  std::vector<std::string> Screen() const;

 private:
  // Runs tmux with `arguments` on this terminal's server; its standard
  // output.
  std::string Tmux(const std::vector<std::string>& arguments) const;

  // The environment tmux runs with: nothing of the user's.
  std::vector<std::string> Environment() const;

  const Sandbox& sandbox_;
  int columns_;
  int rows_;
  std::unique_ptr<ChildProcess> server_;
};

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_E2E_TERMINAL_H_
