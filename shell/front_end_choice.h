// Which front end a run gets: the real window where there is a display (see
// platform/display.h), the terminal where standard error is one, and nothing
// otherwise. TROVANE_UI=window|terminal|quiet overrides the choice.
#ifndef TROVANE_SHELL_FRONT_END_CHOICE_H_
#define TROVANE_SHELL_FRONT_END_CHOICE_H_

#include "platform/environment.h"

namespace trovane {

enum class FrontEndKind { kWindow, kTerminal, kQuiet };

FrontEndKind ChooseFrontEnd(const Environment& environment,
                            bool display_available,
                            bool error_output_is_terminal);

}  // namespace trovane

#endif  // TROVANE_SHELL_FRONT_END_CHOICE_H_
