// The front end that shows the real window, and the folder chooser it asks
// for a run folder with: drawn with Qt 6 Widgets on Linux, the system's own
// window on Windows.
#ifndef TROVANE_SHELL_WINDOW_FRONT_END_H_
#define TROVANE_SHELL_WINDOW_FRONT_END_H_

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "shell/front_end.h"

namespace trovane {

// Makes the application from the command line, which the toolkit may trim
// of its own options; `argc` and `argv` must outlive the front end. One
// front end exists at a time in a process, and it outlives the window it
// shows.
std::unique_ptr<FrontEnd> MakeWindowFrontEnd(int& argc, char** argv);

// Shows the folder chooser, opened at the folder `start` (as the system
// names it), and waits for the user: the folder chosen, as the system
// names it, or nothing when the user cancels. The window's front end must
// have been made first, since it makes the application the chooser runs in.
// Its title tells what the folder must hold.
std::optional<std::string> AskForRunFolder(const std::string& start);

inline constexpr std::string_view kRunFolderQuestion =
    "Choose the run folder: the folder that holds FileList.txt";

}  // namespace trovane

#endif  // TROVANE_SHELL_WINDOW_FRONT_END_H_
