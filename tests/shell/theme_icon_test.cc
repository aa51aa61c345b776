#include "shell/icons/theme_icon.h"

#include <gtest/gtest.h>

#include <QColor>
#include <QString>
#include <QXmlStreamReader>

#include "shell/qt_icon.h"

namespace trovane {
namespace {

// Equal pixels, or both fully transparent whatever their colour bits.
bool SamePixel(QRgb a, QRgb b) {
  return a == b || (qAlpha(a) == 0 && qAlpha(b) == 0);
}

TEST(ThemeIconTest, EnlargesTheSharpestDrawnImageByWholePixels) {
  struct Case {
    int size;
    int drawn;
  };
  for (const Case c : {Case{16, 16}, {32, 32}, {48, 16}, {64, 32}, {128, 32}}) {
    const QImage image = ThemeIconImage(c.size);
    const QImage drawn = TrovaneIconImage(c.drawn);
    ASSERT_EQ(image.size(), QSize(c.size, c.size));
    const int factor = c.size / c.drawn;
    for (int y = 0; y < c.size; ++y) {
      for (int x = 0; x < c.size; ++x) {
        ASSERT_TRUE(
            SamePixel(image.pixel(x, y), drawn.pixel(x / factor, y / factor)))
            << c.size << " at " << x << "," << y;
      }
    }
  }
  EXPECT_TRUE(ThemeIconImage(40).isNull());
}

TEST(ThemeIconTest, SvgRectanglesPaintThe32PixelImage) {
  QImage painted(32, 32, QImage::Format_ARGB32);
  painted.fill(Qt::transparent);
  QXmlStreamReader svg(QString::fromStdString(ThemeIconSvg()));
  while (svg.readNextStartElement()) {
    if (svg.name() == QStringLiteral("svg")) continue;
    ASSERT_EQ(svg.name(), QStringLiteral("rect"));
    const QXmlStreamAttributes a = svg.attributes();
    const int x = a.value("x").toInt();
    const int y = a.value("y").toInt();
    const QColor fill(a.value("fill").toString());
    ASSERT_TRUE(fill.isValid());
    for (int dy = 0; dy < a.value("height").toInt(); ++dy) {
      for (int dx = 0; dx < a.value("width").toInt(); ++dx) {
        painted.setPixel(x + dx, y + dy, fill.rgb());
      }
    }
    svg.skipCurrentElement();
  }
  ASSERT_FALSE(svg.hasError()) << svg.errorString().toStdString();
  const QImage drawn = TrovaneIconImage(32);
  for (int y = 0; y < 32; ++y) {
    for (int x = 0; x < 32; ++x) {
      ASSERT_TRUE(SamePixel(painted.pixel(x, y), drawn.pixel(x, y)))
          << x << "," << y;
    }
  }
}

}  // namespace
}  // namespace trovane
