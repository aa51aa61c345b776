#include "platform/display.h"

#include <windows.h>

namespace trovane {

bool DisplayAvailable(const Environment& /*environment*/) {
  // A service's window station shows nothing; and under Wine without an X
  // display no window can be made at all. A window made and dropped at once
  // tells both.
  USEROBJECTFLAGS flags{};
  if (GetUserObjectInformationW(GetProcessWindowStation(), UOI_FLAGS, &flags,
                                sizeof flags, nullptr) != 0 &&
      (flags.dwFlags & WSF_VISIBLE) == 0) {
    return false;
  }
  const HWND probe = CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, nullptr,
                                     nullptr, nullptr, nullptr);
  if (probe == nullptr) return false;
  DestroyWindow(probe);
  return true;
}

}  // namespace trovane
