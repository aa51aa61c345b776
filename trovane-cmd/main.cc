// trovane-cmd FILE: runs the scan batch FILE (a drive-form or Linux path).
//
// Exit status: 0 when the batch ran, whatever its commands found (their
// failures are reported on standard error, line by line, as the batch goes
// on); 1 when FILE cannot be read; 2 when the command line is wrong; 3
// when the drive map is bad.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <optional>
#include <string>
#include <utility>

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
  std::string drive_error;
  std::optional<trovane::DriveMap> drives =
      trovane::DriveMap::FromEnvironment(environment, &drive_error);
  if (!drives) {
    std::fprintf(stderr, "%s\n", drive_error.c_str());
    return 3;
  }
  trovane::Interpreter interpreter(
      std::move(*drives), environment.CurrentFolder(),
      {STDOUT_FILENO, STDERR_FILENO}, trovane::PseudoMounts::OfThisProcess());
  if (!interpreter.RunFile(argv[1])) {
    std::fprintf(stderr, "Cannot read the batch %s\n", argv[1]);
    return 1;
  }
  return 0;
}
