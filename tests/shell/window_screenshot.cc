// Draws the window into PNG files, to look at without a display:
//   QT_QPA_PLATFORM=offscreen window_screenshot OUT.png [SCANNING.png]
// The first picture shows the disk map scan at work; the second, when
// asked for, the wait while the scan batch lists the disk, with the count
// of paths the interpreter tells.
#include <QPixmap>
#include <QString>
#include <cstdio>
#include <memory>

#include "tests/shell/qt_window_harness.h"

namespace {

bool Save(QWidget& view, const char* path) {
  if (view.grab().save(QString::fromLocal8Bit(path), "PNG")) return true;
  std::fprintf(stderr, "cannot write %s\n", path);
  return false;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2 && argc != 3) {
    std::fprintf(stderr, "usage: %s OUT.png [SCANNING.png]\n", argv[0]);
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
  if (!Save(view, argv[1])) return 1;
  if (argc == 2) return 0;

  // The wait for the scan batch, the count as the interpreter shares it.
  window.FileList().AddItem("Main=vek.exe");
  window.DoingWhat().SetCaption("Mapping disk drive contents...");
  window.Filename().SetCaption("");
  window.P1().SetValue(0.0F);
  window.StartScanBatch("C:\\Run\\Map.Bat");
  window.Wait().SetEnabled(true);
  harness.launcher().listed_paths = 1'234'567;
  harness.ProcessEventsUntil([] { return false; },
                             std::chrono::milliseconds(200));
  return Save(view, argv[2]) ? 0 : 1;
}
