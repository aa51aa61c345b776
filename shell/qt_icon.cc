#include "shell/qt_icon.h"

#include <QPixmap>

#include "shell/icons/trovane_16.xpm"
#include "shell/icons/trovane_32.xpm"

namespace trovane {

QImage TrovaneIconImage(int size) {
  switch (size) {
    case 32:
      return QImage(kTrovaneIcon32);
    case 16:
      return QImage(kTrovaneIcon16);
    default:
      return QImage();
  }
}

QIcon TrovaneIcon() {
  QIcon icon;
  for (const int size : kIconSizes) {
    icon.addPixmap(QPixmap::fromImage(TrovaneIconImage(size)));
  }
  return icon;
}

}  // namespace trovane
