// Writes one size of the program's icon as a PNG file, so that the build
// can install it into the desktop's icon theme: trovane_icon_png SIZE FILE.
#include <QImage>
#include <QString>
#include <cstdio>
#include <string>

#include "shell/qt_icon.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: %s SIZE FILE.png\n", argv[0]);
    return 2;
  }
  QImage image;
  for (const int size : trovane::kIconSizes) {
    if (std::to_string(size) == argv[1]) {
      image = trovane::TrovaneIconImage(size);
    }
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
