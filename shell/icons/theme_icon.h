// The program's icon for the desktop's icon theme, drawn at build time from
// the same pixel art as the window's icon: enlarged by whole pixels to the
// theme's sizes, and traced as an SVG image for the scalable folder.
#ifndef TROVANE_SHELL_ICONS_THEME_ICON_H_
#define TROVANE_SHELL_ICONS_THEME_ICON_H_

#include <QImage>
#include <string>

namespace trovane {

// The image `size` pixels square: the largest drawn image whose size divides
// `size`, each of its pixels a square block, so that the pixel art stays
// sharp. A null image when no drawn size divides `size`.
QImage ThemeIconImage(int size);

// The 32-pixel image as an SVG document: one rectangle per run of equal
// pixels in a row, drawn with crisp edges.
std::string ThemeIconSvg();

}  // namespace trovane

#endif  // TROVANE_SHELL_ICONS_THEME_ICON_H_
