// What `trovane-cmd --help` prints, and what a wrong command line gets on
// standard error.
#ifndef TROVANE_TROVANE_CMD_USAGE_H_
#define TROVANE_TROVANE_CMD_USAGE_H_

#include <string_view>

namespace trovane {

inline constexpr std::string_view kCmdUsage =
    "Usage: trovane-cmd FILE\n"
    "       trovane-cmd --help | --version\n"
    "\n"
    "Runs FILE, a scan batch of Trovane Setup (a drive-form or Linux path):\n"
    "@Echo off, Echo TEXT, Del PATH, Cd\\, Cd PATH and Dir SPEC /s /b, with\n"
    "> FILE or >> FILE after Echo and Dir. It is not a shell: nothing in a\n"
    "batch line can run a command.\n"
    "\n"
    "Environment:\n"
    "  VEK_DRIVE_C ... VEK_DRIVE_Z, WINEPREFIX\n"
    "                 the drive map, as for trovane-setup\n"
    "\n"
    "Exit status:\n"
    "  0  the batch ran (failed commands were reported on standard error)\n"
    "  1  FILE cannot be read\n"
    "  2  a wrong command line\n"
    "  3  a bad drive map (a VEK_DRIVE_ variable that names no folder)\n"
    "  4  a write to a redirection target failed (a full disk): the batch\n"
    "     stopped there, so its last lines did not run\n";

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_USAGE_H_
