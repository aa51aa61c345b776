#include "shell/qt_icon.h"

#include <gtest/gtest.h>

#include <QColor>
#include <set>

namespace trovane {
namespace {

TEST(QtIconTest, Has32And16PixelImagesOfAtMost16Colours) {
  for (const int size : {32, 16}) {
    const QImage image = TrovaneIconImage(size);
    ASSERT_EQ(image.size(), QSize(size, size));
    std::set<QRgb> colours;
    bool transparent = false;
    for (int y = 0; y < size; ++y) {
      for (int x = 0; x < size; ++x) {
        const QRgb pixel = image.pixel(x, y);
        if (qAlpha(pixel) == 0) {
          transparent = true;
        } else {
          EXPECT_EQ(qAlpha(pixel), 255) << size << " at " << x << "," << y;
          colours.insert(pixel);
        }
      }
    }
    EXPECT_GE(colours.size(), 2U) << size;
    EXPECT_LE(colours.size(), 16U) << size;
    // The corners show the desktop through them.
    EXPECT_TRUE(transparent) << size;
  }
}

}  // namespace
}  // namespace trovane
