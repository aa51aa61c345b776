// trovane-cmd FILE: runs the scan batch FILE (a drive-form or Linux path).
//
// Exit status: 0 when the batch ran, whatever its commands found (their
// failures are reported on standard error, line by line, as the batch goes
// on); 1 when FILE cannot be read; 2 when the command line is wrong.
#include <signal.h>
#include <unistd.h>

#include <cstdio>

#include "platform/drive_map.h"
#include "platform/environment.h"
#include "trovane-cmd/interpreter.h"
#include "trovane-cmd/pseudo_mounts.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("Usage: trovane-cmd FILE\n", stderr);
    return 2;
  }
  // A closed output is reported as a failed write, not by dying silently.
  signal(SIGPIPE, SIG_IGN);
  const trovane::ProcessEnvironment environment;
  trovane::Interpreter interpreter(
      trovane::DriveMap::FromEnvironment(environment),
      environment.CurrentFolder(), {STDOUT_FILENO, STDERR_FILENO},
      trovane::PseudoMounts::OfThisProcess());
  if (!interpreter.RunFile(argv[1])) {
    std::fprintf(stderr, "Cannot read the batch %s\n", argv[1]);
    return 1;
  }
  return 0;
}
