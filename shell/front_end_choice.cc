#include "shell/front_end_choice.h"

namespace trovane {

FrontEndKind ChooseFrontEnd(const Environment& environment,
                            bool display_available,
                            bool error_output_is_terminal) {
  const std::string forced = environment.Get("TROVANE_UI");
  if (forced == "window") return FrontEndKind::kWindow;
  if (forced == "terminal") return FrontEndKind::kTerminal;
  if (forced == "quiet") return FrontEndKind::kQuiet;
  if (display_available) return FrontEndKind::kWindow;
  return error_output_is_terminal ? FrontEndKind::kTerminal
                                  : FrontEndKind::kQuiet;
}

}  // namespace trovane
