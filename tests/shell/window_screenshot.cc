// Draws the window with representative state into a PNG file, to look at
// without a display: QT_QPA_PLATFORM=offscreen window_screenshot OUT.png
#include <QPixmap>
#include <QString>
#include <cstdio>

#include "tests/shell/qt_window_harness.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s OUT.png\n", argv[0]);
    return 2;
  }
  const trovane::testing::Sandbox sandbox;
  trovane::testing::QtWindowHarness harness(sandbox);
  trovane::Window& window = harness.window();
  window.DoingWhat().SetCaption("Currently scanning:");
  window.Filename().SetCaption("C:\\PROGRAM FILES\\VEK\\DATA...");
  window.P1().SetValue(40.0F);
  window.P2().SetValue(70.0F);
  QWidget& view = harness.Show();
  harness.front_end().ProcessPendingEvents();
  if (!view.grab().save(QString::fromLocal8Bit(argv[1]), "PNG")) {
    std::fprintf(stderr, "%s: cannot write %s\n", argv[0], argv[1]);
    return 1;
  }
  return 0;
}
