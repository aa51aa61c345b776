// The program's icon: a magnifying glass over a folder, drawn in colours of
// the 16-colour palette at 32 by 32 and 16 by 16 pixels. Its images live in
// the source as XPM text (shell/icons), so the icon needs no resource files
// at run time.
#ifndef TROVANE_SHELL_QT_ICON_H_
#define TROVANE_SHELL_QT_ICON_H_

#include <QIcon>
#include <QImage>
#include <array>

namespace trovane {

inline constexpr std::array<int, 2> kIconSizes = {32, 16};

// The image `size` pixels square; a null image for a size not drawn.
QImage TrovaneIconImage(int size);

// Every drawn size as one icon. Needs the application object.
QIcon TrovaneIcon();

}  // namespace trovane

#endif  // TROVANE_SHELL_QT_ICON_H_
