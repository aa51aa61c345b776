// Draws the window into PNG files, to look at without a display:
//   QT_QPA_PLATFORM=offscreen window_screenshot OUT.png [SCANNING.png
//       [DONE.png [SUMMARY.png]]]
// The first picture shows the disk map scan at work; the second the wait
// while the scan batch lists the disk, with the count of paths the
// interpreter tells; the third the window's last picture after a run that
// went well, its summary in the status line; the fourth the box that ends a
// run with more to tell: an entry removed, another never found.
#include <QApplication>
#include <QPixmap>
#include <QString>
#include <QTimer>
#include <cstdio>
#include <memory>

#include "shell/run_summary.h"
#include "tests/shell/qt_window_harness.h"

namespace {

bool Save(QWidget& view, const char* path) {
  if (view.grab().save(QString::fromLocal8Bit(path), "PNG")) return true;
  std::fprintf(stderr, "cannot write %s\n", path);
  return false;
}

// Shows `summary` as the run's end does, and saves `target` (the window, or
// the box when it shows one) once it is on the screen.
bool SaveSummary(trovane::FrontEnd& front_end, QWidget& view,
                 const trovane::RunSummary& summary, const char* path) {
  bool saved = false;
  QTimer::singleShot(200, [&] {
    QWidget* box = QApplication::activeModalWidget();
    saved = Save(box != nullptr ? *box : view, path);
    if (box != nullptr) box->close();
  });
  front_end.ShowSummary(summary);
  return saved;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 2 || argc > 5) {
    std::fprintf(stderr,
                 "usage: %s OUT.png [SCANNING.png [DONE.png [SUMMARY.png]]]\n",
                 argv[0]);
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
  if (!Save(view, argv[2])) return 1;
  if (argc == 3) return 0;

  // The end of the run, as the completion report leaves the window.
  window.Wait().SetEnabled(false);
  window.DoingWhat().SetCaption("DONE!");
  window.Filename().SetCaption("Exitting...");
  window.P1().SetValue(100.0F);
  window.P2().SetValue(100.0F);
  harness.front_end().ProcessPendingEvents();
  trovane::RunReport report;
  const std::vector<std::string> wanted = {
      "Main=vek.exe",          "Tools=vektools.dll",    "Levels=levels.dat",
      "Sounds=sounds.pak",     "Config=VEK\\Config",    "Race=race.exe",
      "Tracks=tracks.dat",     "Scores=highscores.dat", "Settings=settings.ini",
      "Saves=VEK Data\\Saves", "Manual=manual.pdf"};
  report.SetWanted({wanted.begin(), wanted.end() - 1});
  if (!SaveSummary(
          harness.front_end(), view,
          trovane::SummarizeRun(report, trovane::RunOutcome::kClean, {}, {}),
          argv[3])) {
    return 1;
  }
  if (argc == 4) return 0;

  report.SetWanted(wanted);
  report.Removed("Config", "C:\\PROGRAM FILES\\VEK\\CONFIG",
                 trovane::FolderNeedsDirKind("Config"), true);
  return SaveSummary(
             harness.front_end(), view,
             trovane::SummarizeRun(report, trovane::RunOutcome::kProblems,
                                   {"Manual=manual.pdf"}, {}),
             argv[4])
             ? 0
             : 1;
}
