// The folder chooser the window's run asks for its run folder with, when
// the program's own folder cannot hold the run's files (an installed copy).
#ifndef TROVANE_SHELL_QT_FOLDER_CHOOSER_H_
#define TROVANE_SHELL_QT_FOLDER_CHOOSER_H_

#include <optional>
#include <string>

namespace trovane {

// Shows the toolkit's folder chooser, opened at the Linux folder `start`,
// and waits for the user: the Linux path of the folder chosen, or nothing
// when the user cancels. The Qt front end must have been made first
// (MakeQtFrontEnd), since it makes the application the chooser runs in.
std::optional<std::string> AskForRunFolder(const std::string& start);

}  // namespace trovane

#endif  // TROVANE_SHELL_QT_FOLDER_CHOOSER_H_
