// The real window, drawn with Qt 6 Widgets: the front end for a desktop
// session.
#ifndef TROVANE_SHELL_QT_FRONT_END_H_
#define TROVANE_SHELL_QT_FRONT_END_H_

#include <memory>

#include "shell/front_end.h"

namespace trovane {

// Makes the application object from the command line, which Qt may trim of
// its own options; `argc` and `argv` must outlive the front end. One front
// end exists at a time in a process, and it outlives the window it shows.
std::unique_ptr<FrontEnd> MakeQtFrontEnd(int& argc, char** argv);

}  // namespace trovane

#endif  // TROVANE_SHELL_QT_FRONT_END_H_
