// The Qt front end: the application it makes, the window's timers in Qt's
// loop, the message box, and the ways the window is closed.
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QAbstractButton>
#include <QApplication>
#include <QCloseEvent>
#include <QLabel>
#include <QMessageBox>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/quit_signals.h"
#include "tests/shell/qt_window_harness.h"

namespace trovane {
namespace {

using testing::ActivityLogMessages;
using ::testing::ElementsAre;
using testing::QtWindowHarness;
using testing::Sandbox;

class QtFrontEndTest : public ::testing::Test {
 protected:
  Sandbox sandbox_;
  QtWindowHarness harness_{sandbox_};
};

TEST_F(QtFrontEndTest, ApplicationCarriesTheProgramsNameVersionAndIcon) {
  EXPECT_EQ(QApplication::applicationName(), "Trovane Setup");
  EXPECT_EQ(QApplication::applicationDisplayName(), "Trovane Setup");
  EXPECT_EQ(QApplication::applicationVersion(), "3.02.0004");
  EXPECT_EQ(QApplication::desktopFileName(), "trovane-setup");
  const QWidget& view = harness_.Show();
  EXPECT_THAT(view.windowIcon().availableSizes(),
              ::testing::UnorderedElementsAre(QSize(32, 32), QSize(16, 16)));
}

// RightAfterLoad, enabled at load, runs the analysis pass; that enables
// Wait, whose tick finds FileList empty and clicks Start.
TEST_F(QtFrontEndTest, TimersTickThroughTheLoopOnceEnabled) {
  int analyses = 0;
  int searches = 0;
  harness_.passes().analysis = [&](Window& window) {
    ++analyses;
    window.Wait().SetEnabled(true);
    window.RightAfterLoad().SetEnabled(false);
  };
  harness_.passes().search = [&](Window& /*window*/) { ++searches; };
  harness_.Show();
  EXPECT_TRUE(harness_.ProcessEventsUntil([&] { return searches == 1; }));
  EXPECT_EQ(analyses, 1);
}

TEST_F(QtFrontEndTest, TickThatYieldsIsNotEnteredAgain) {
  int calls = 0;
  int depth = 0;
  int deepest = 0;
  harness_.passes().analysis = [&](Window& window) {
    ++calls;
    deepest = std::max(deepest, ++depth);
    if (calls == 1) {
      // Yields as a pass does, for many of the timer's intervals.
      for (int i = 0; i < 20; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        window.DoEvents();
      }
    } else {
      window.RightAfterLoad().SetEnabled(false);
    }
    --depth;
  };
  harness_.Show();
  EXPECT_TRUE(harness_.ProcessEventsUntil([&] { return calls == 2; }));
  EXPECT_EQ(deepest, 1);
}

// What a modal box showed, seen from inside its own loop, which it closes
// with its OK button as soon as it shows.
struct SeenBox {
  bool message_box = false;
  QString title;
  QString text;
  QString details;
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  QMessageBox::StandardButtons buttons;
  bool application_modal = false;
  QWidget* parent = nullptr;
};

std::unique_ptr<QTimer> CloseTheBoxOnceShown(SeenBox& seen) {
  auto closer = std::make_unique<QTimer>();
  closer->setInterval(10);
  QObject::connect(closer.get(), &QTimer::timeout,
                   [&seen, timer = closer.get()] {
                     QWidget* modal = QApplication::activeModalWidget();
                     if (modal == nullptr) {
                       return;
                     }
                     timer->stop();
                     seen.application_modal =
                         modal->windowModality() == Qt::ApplicationModal;
                     seen.parent = modal->parentWidget();
                     auto* box = qobject_cast<QMessageBox*>(modal);
                     if (box == nullptr) {
                       modal->close();
                       return;
                     }
                     seen.message_box = true;
                     seen.title = box->windowTitle();
                     seen.text = box->text();
                     seen.details = box->detailedText();
                     seen.icon = box->icon();
                     seen.buttons = box->standardButtons();
                     if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
                       ok->click();
                     } else {
                       box->done(0);
                     }
                   });
  closer->start();
  return closer;
}

RunSummary SummaryOf(RunOutcome outcome, std::string status,
                     std::vector<std::string> more_lines,
                     std::vector<std::string> details) {
  RunSummary summary;
  summary.outcome = outcome;
  summary.lines = {"Trovane Setup: " + status};
  summary.lines.insert(summary.lines.end(), more_lines.begin(),
                       more_lines.end());
  summary.status = std::move(status);
  summary.details = std::move(details);
  summary.all_well = summary.lines.size() == 1 && summary.details.empty();
  return summary;
}

QString StatusLine(QWidget& view) {
  return view.findChild<QLabel*>("DoingWhat")->text();
}

TEST_F(QtFrontEndTest, MessageBoxIsAModalInformationBoxWithOneOkButton) {
  QWidget& view = harness_.Show();
  SeenBox seen;
  const std::unique_ptr<QTimer> closer = CloseTheBoxOnceShown(seen);

  harness_.front_end().MessageBox("Problems", "Some <b>entries</b> are gone.",
                                  {"A (C:\\A) removed: gone.", "B repaired."});

  EXPECT_TRUE(seen.message_box);
  EXPECT_EQ(seen.title, "Problems");
  EXPECT_EQ(seen.text, "Some <b>entries</b> are gone.");
  EXPECT_EQ(seen.details, "A (C:\\A) removed: gone.\nB repaired.\n");
  EXPECT_EQ(seen.icon, QMessageBox::Information);
  EXPECT_EQ(seen.buttons, QMessageBox::Ok);
  EXPECT_TRUE(seen.application_modal);
  EXPECT_EQ(seen.parent, &view);
}

TEST_F(QtFrontEndTest, ASummaryWithMoreToTellIsShownInABox) {
  QWidget& view = harness_.Show();
  SeenBox seen;
  const std::unique_ptr<QTimer> closer = CloseTheBoxOnceShown(seen);

  harness_.front_end().ShowSummary(SummaryOf(
      RunOutcome::kProblems, "1 of 2 wanted entries recorded.",
      {"Not found: B."}, {"Map.txt line D:\\X: drive D is not mapped."}));

  EXPECT_TRUE(seen.message_box);
  EXPECT_EQ(seen.title, "Trovane Setup");
  EXPECT_EQ(seen.text,
            "1 of 2 wanted entries recorded.\nNot found: B.\n\n"
            "Map.txt line D:\\X: drive D is not mapped.\n");
  EXPECT_EQ(seen.icon, QMessageBox::Warning);
  EXPECT_EQ(seen.parent, &view);
  EXPECT_EQ(StatusLine(view), "DONE! 1 of 2 wanted entries recorded.");

  // A run that ended before completion was closed or told why already.
  SeenBox none;
  const std::unique_ptr<QTimer> idle = CloseTheBoxOnceShown(none);
  harness_.front_end().ShowSummary(SummaryOf(
      RunOutcome::kInterrupted, "0 of 2 wanted entries found.", {}, {}));
  EXPECT_FALSE(none.message_box);
}

// Closing the window and a quit signal end the process. These tests run the
// window in a child process, which the unload ends as the program's end
// does (an exception thrown through Qt's event handling would leave Qt's
// state broken); the sandbox is shared with it.
class QtFrontEndEndTest : public ::testing::Test {
 protected:
  // The child's exit status; -1 when it did not end by itself within
  // seconds.
  static int ExitStatusOf(const std::function<void()>& body) {
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child == 0) {
      alarm(10);  // a child that hangs dies of the alarm
      try {
        body();
      } catch (...) {
        // Only the child's exit status speaks for it.
      }
      std::_Exit(kBodyReturned);
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child) {
      return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  }

  static void EndProcess(int status) { std::_Exit(status); }

  static constexpr int kBodyReturned = 99;
  static constexpr int kStatusLineWrong = 98;
  static constexpr int kCloseIgnored = 97;
  Sandbox sandbox_;
};

TEST_F(QtFrontEndEndTest, ClosingTheWindowUnloadsIt) {
  EXPECT_EQ(ExitStatusOf([&] {
              QtWindowHarness harness(sandbox_, EndProcess);
              harness.Show().close();
            }),
            2);
  EXPECT_THAT(ActivityLogMessages(sandbox_),
              ElementsAre("Cleanup", "About to exit", "Cleanup"));
}

// A run that went well shows its summary in the status line for a while;
// closing the window meanwhile ends the process at once, with the run's
// own exit status.
TEST_F(QtFrontEndEndTest, AWellEndedRunShowsItsSummaryUntilTheWindowCloses) {
  EXPECT_EQ(ExitStatusOf([&] {
              QtWindowHarness harness(sandbox_, EndProcess);
              QWidget& view = harness.Show();
              QTimer::singleShot(50, [&view] {
                if (StatusLine(view) !=
                    "DONE! FileList.txt holds no wanted entries.") {
                  std::_Exit(kStatusLineWrong);
                }
                view.close();
                std::_Exit(kCloseIgnored);
              });
              harness.window().Unload(RunOutcome::kClean);
            }),
            0);
}

TEST_F(QtFrontEndEndTest, ClosingTheWindowEndsAPassWhereItYields) {
  EXPECT_EQ(ExitStatusOf([&] {
              QtWindowHarness harness(sandbox_, EndProcess);
              QWidget* view = nullptr;
              harness.passes().analysis = [&view](Window& window) {
                window.LogActivity("Analysing");
                QCoreApplication::postEvent(view, new QCloseEvent);
                window.DoEvents();
                window.LogActivity("Went on after the close");
              };
              view = &harness.Show();
              harness.front_end().Run();
            }),
            2);
  EXPECT_THAT(ActivityLogMessages(sandbox_),
              ElementsAre("Cleanup", "Analysing", "About to exit", "Cleanup"));
}

TEST_F(QtFrontEndEndTest, QuitSignalUnloadsTheIdleWindow) {
  EXPECT_EQ(ExitStatusOf([&] {
              QtWindowHarness harness(sandbox_, EndProcess);
              QuitSignals::Install();
              harness.Show();
              std::raise(SIGTERM);
              harness.front_end().Run();
            }),
            2);
  EXPECT_THAT(ActivityLogMessages(sandbox_),
              ElementsAre("Cleanup", "About to exit", "Cleanup"));
}

// Handlers installed after the window showed leave the loop no descriptor
// to watch; the signal is still seen.
TEST_F(QtFrontEndEndTest, QuitSignalWithLateHandlersUnloadsTheIdleWindow) {
  EXPECT_EQ(ExitStatusOf([&] {
              QtWindowHarness harness(sandbox_, EndProcess);
              harness.Show();
              QuitSignals::Install();
              std::raise(SIGTERM);
              harness.front_end().Run();
            }),
            2);
  EXPECT_THAT(ActivityLogMessages(sandbox_),
              ElementsAre("Cleanup", "About to exit", "Cleanup"));
}

TEST_F(QtFrontEndEndTest, QuitSignalEndsAPassWhereItYields) {
  EXPECT_EQ(ExitStatusOf([&] {
              QtWindowHarness harness(sandbox_, EndProcess);
              harness.passes().analysis = [](Window& window) {
                window.LogActivity("Analysing");
                QuitSignals::Install();
                std::raise(SIGTERM);
                window.DoEvents();
                window.LogActivity("Went on after the signal");
              };
              harness.Show();
              harness.front_end().Run();
            }),
            2);
  EXPECT_THAT(ActivityLogMessages(sandbox_),
              ElementsAre("Cleanup", "Analysing", "About to exit", "Cleanup"));
}

}  // namespace
}  // namespace trovane
