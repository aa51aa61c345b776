#include "shell/icons/theme_icon.h"

#include <QColor>
#include <QString>
#include <sstream>

#include "shell/qt_icon.h"

namespace trovane {

QImage ThemeIconImage(int size) {
  if (size <= 0) return QImage();
  int drawn = 0;
  for (const int candidate : kIconSizes) {
    if (size % candidate == 0 && candidate > drawn) drawn = candidate;
  }
  if (drawn == 0) return QImage();
  // Nearest-neighbour scaling by a whole factor copies each pixel to a block.
  return TrovaneIconImage(drawn).scaled(size, size, Qt::IgnoreAspectRatio,
                                        Qt::FastTransformation);
}

std::string ThemeIconSvg() {
  const QImage image = TrovaneIconImage(32);
  const int side = image.width();
  std::ostringstream svg;
  svg << "<svg xmlns=\"http://www.w3.org/2000/svg\" width=\"" << side
      << "\" height=\"" << side << "\" viewBox=\"0 0 " << side << ' ' << side
      << "\" shape-rendering=\"crispEdges\">\n";
  for (int y = 0; y < side; ++y) {
    int x = 0;
    while (x < side) {
      const QRgb pixel = image.pixel(x, y);
      int end = x + 1;
      while (end < side && image.pixel(end, y) == pixel) ++end;
      if (qAlpha(pixel) != 0) {
        svg << "<rect x=\"" << x << "\" y=\"" << y << "\" width=\"" << end - x
            << "\" height=\"1\" fill=\"" << QColor(pixel).name().toStdString()
            << "\"/>\n";
      }
      x = end;
    }
  }
  svg << "</svg>\n";
  return svg.str();
}

}  // namespace trovane
