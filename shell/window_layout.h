// Where the main window's controls sit, in twips (15 to a pixel), relative
// to the client area, in creation order. The list and the button lie at or
// below the bottom edge of the 1440-twip client area: the user never sees
// them; the program uses them itself.
#ifndef TROVANE_SHELL_WINDOW_LAYOUT_H_
#define TROVANE_SHELL_WINDOW_LAYOUT_H_

#include <array>
#include <string_view>

namespace trovane {

inline constexpr int kTwipsPerPixel = 15;
inline constexpr int kClientWidthTwips = 5610;
inline constexpr int kClientHeightTwips = 1440;
inline constexpr std::string_view kWindowCaption = "Trovane Setup";

enum class ControlKind {
  kTimer,
  kProgressBar,
  kListBox,
  kCommandButton,
  kLabel
};

struct ControlPlacement {
  std::string_view name;
  ControlKind kind;
  int left;
  int top;
  int width;
  int height;
};

inline constexpr std::array<ControlPlacement, 8> kControls = {{
    {"RightAfterLoad", ControlKind::kTimer, 0, 0, 0, 0},
    {"P2", ControlKind::kProgressBar, 240, 1080, 5175, 255},
    {"Wait", ControlKind::kTimer, 0, 0, 0, 0},
    {"FileList", ControlKind::kListBox, 240, 1440, 5175, 1035},
    {"Start", ControlKind::kCommandButton, 3600, 1800, 1095, 450},
    {"P1", ControlKind::kProgressBar, 240, 720, 5175, 375},
    {"Filename", ControlKind::kLabel, 360, 360, 4935, 255},
    {"DoingWhat", ControlKind::kLabel, 240, 120, 5055, 255},
}};

inline constexpr int ToPixels(int twips) { return twips / kTwipsPerPixel; }

}  // namespace trovane

#endif  // TROVANE_SHELL_WINDOW_LAYOUT_H_
