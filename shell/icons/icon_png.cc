// Writes one size of the program's icon as a PNG file, so that the build
// can install it into the desktop's icon theme: trovane_icon_png SIZE FILE.
#include <QImage>
#include <QString>
#include <charconv>
#include <cstdio>
#include <cstring>

#include "shell/icons/theme_icon.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SIZE FILE.png\n", argv[0]);
    return 2;
  }
  int size = 0;
  const char* end = argv[1] + std::strlen(argv[1]);
  QImage image;
  if (std::from_chars(argv[1], end, size).ptr == end) {
    image = trovane::ThemeIconImage(size);
  }
  if (image.isNull()) {
    std::fprintf(stderr, "%s: no icon of size %s\n", argv[0], argv[1]);
    return 1;
  }
  if (!image.save(QString::fromLocal8Bit(argv[2]), "PNG")) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[2]);
    return 1;
  }
  return 0;
}
