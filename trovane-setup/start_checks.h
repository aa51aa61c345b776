// The checks a run passes before it writes anything, in the order they are
// made once the disk is open (whose drive letters were checked first): the
// run folder, the temporary folder and the command interpreter. A run that
// fails one of them has written nothing: it prints the check's one message
// and ends with exit status 3.
#ifndef TROVANE_TROVANE_SETUP_START_CHECKS_H_
#define TROVANE_TROVANE_SETUP_START_CHECKS_H_

#include <functional>
#include <optional>
#include <string>
#include <variant>

#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/process.h"

namespace trovane {

// What a run starts from once every check has passed.
struct RunStart {
  std::string run_folder;   // drive form
  std::string interpreter;  // trovane-cmd, as the system names it
};

// Asks the user for the run folder with a chooser opened at `start` (as
// the system names it); nothing when the user declines.
using RunFolderQuestion =
    std::function<std::optional<std::string>(const std::string& start)>;

// Makes the checks. `folder` is the command line's FOLDER, a path as the
// system names it or a drive-form path. Without it the run folder is the
// executable's folder when that can hold the run's files; when it cannot
// (an installed copy), `ask` gives the run folder, starting at drive C,
// where the VEK programs' files lie (a Wine prefix's drive_c); without
// `ask` the run stops with a message that says to give FOLDER. The start,
// or the message that stops the run.
std::variant<RunStart, std::string> CheckStart(
    const Environment& environment, FileSystem& files,
    const ProcessLauncher& launcher, const std::optional<std::string>& folder,
    const RunFolderQuestion& ask);

}  // namespace trovane

#endif  // TROVANE_TROVANE_SETUP_START_CHECKS_H_
