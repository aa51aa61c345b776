// Whether this process can show a window: on Linux when the environment
// names a display (DISPLAY or WAYLAND_DISPLAY), on Windows when it runs on
// a desktop that can hold one.
#ifndef TROVANE_PLATFORM_DISPLAY_H_
#define TROVANE_PLATFORM_DISPLAY_H_

#include "platform/environment.h"

namespace trovane {

bool DisplayAvailable(const Environment& environment);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_DISPLAY_H_
