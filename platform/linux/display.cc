#include "platform/display.h"

namespace trovane {

bool DisplayAvailable(const Environment& environment) {
  return !environment.Get("DISPLAY").empty() ||
         !environment.Get("WAYLAND_DISPLAY").empty();
}

}  // namespace trovane
