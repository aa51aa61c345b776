#include <QApplication>
#include <QEventLoop>
#include <QMessageBox>
#include <QSocketNotifier>
#include <QTimer>
#include <chrono>
#include <string_view>
#include <vector>

#include "platform/console.h"
#include "platform/quit_signals.h"
#include "platform/version.h"
#include "shell/qt_icon.h"
#include "shell/qt_text.h"
#include "shell/qt_window_view.h"
#include "shell/window.h"
#include "shell/window_front_end.h"

namespace trovane {
namespace {

// The desktop entry's name, by which the desktop finds the window's icon.
constexpr std::string_view kDesktopFileName = "trovane-setup";
// How often the display catches up with the window while the loop idles.
constexpr std::chrono::milliseconds kRefreshInterval{50};

class QtFrontEnd : public FrontEnd {
 public:
  QtFrontEnd(int& argc, char** argv);

  void Show(Window& window) override;
  void Run() override;
  void ProcessPendingEvents() override;
  void MessageBox(std::string_view title, std::string_view text,
                  const std::vector<std::string>& details) override;
  void ReportFailure(std::string_view text) override;
  void ShowSummary(const RunSummary& summary) override;
  void Close() override;

 private:
  // Ticks `timer` from a Qt timer that runs while it is enabled.
  void Watch(Timer& timer);
  void UnloadIfSignalled();

  QApplication application_;
  Window* window_ = nullptr;
  std::unique_ptr<QtWindowView> view_;
  // Each watched timer's Qt timer, and what wakes it at once, made as it
  // is enabled.
  struct WatchedTimer {
    QTimer timer;
    std::vector<std::unique_ptr<QSocketNotifier>> wakers;
  };
  std::vector<std::unique_ptr<WatchedTimer>> timers_;
  QTimer refresh_;
  std::unique_ptr<QSocketNotifier> quit_notifier_;
};

QtFrontEnd::QtFrontEnd(int& argc, char** argv) : application_(argc, argv) {
  // The display name is left to default to the application name: set
  // explicitly, the X11 platform appends it to every other window's title,
  // the message box's among them.
  QApplication::setApplicationName(ToQString(kProductName));
  QApplication::setApplicationVersion(ToQString(kVersion));
  QApplication::setDesktopFileName(ToQString(kDesktopFileName));
  QApplication::setWindowIcon(TrovaneIcon());
  // Only the window's unload ends a run: a message box closing while no
  // other window shows must not end the loop.
  QApplication::setQuitOnLastWindowClosed(false);

  refresh_.setInterval(kRefreshInterval);
  QObject::connect(&refresh_, &QTimer::timeout, [this] {
    // Also catches a signal whose handlers came after Show, with no
    // descriptor being watched yet.
    UnloadIfSignalled();
    view_->Refresh();
  });
}

void QtFrontEnd::Show(Window& window) {
  window_ = &window;
  view_ = std::make_unique<QtWindowView>(window);
  Watch(window.RightAfterLoad());
  Watch(window.Wait());
  if (const Waitable quit = QuitSignals::Waker(); quit.valid()) {
    // Wakes the loop as soon as a signal arrives. It is never taken in:
    // the unload ends the process.
    quit_notifier_ =
        std::make_unique<QSocketNotifier>(quit.native(), QSocketNotifier::Read);
    QObject::connect(quit_notifier_.get(), &QSocketNotifier::activated,
                     [this] { UnloadIfSignalled(); });
  }
  refresh_.start();
  view_->show();
}

void QtFrontEnd::Run() {
  QApplication::exec();
  // The loop ends only when something outside asks it to, as the desktop
  // session ending does: that counts as closing the window.
  window_->Unload(RunOutcome::kInterrupted);
}

void QtFrontEnd::ProcessPendingEvents() {
  view_->Redraw();
  UnloadIfSignalled();
  QApplication::processEvents();
}

void QtFrontEnd::MessageBox(std::string_view title, std::string_view text,
                            const std::vector<std::string>& details) {
  QMessageBox box(QMessageBox::Information, ToQString(title), ToQString(text),
                  QMessageBox::Ok, view_.get());
  box.setTextFormat(Qt::PlainText);
  // Behind the box's own button, which keeps its one OK button for the
  // answer.
  if (!details.empty()) box.setDetailedText(ToQString(JoinedLines(details)));
  // The box runs a loop of its own: the window's timers, the refresh and the
  // quit signals are served meanwhile, while the window takes no input.
  box.exec();
}

void QtFrontEnd::ReportFailure(std::string_view text) {
  QMessageBox box(QMessageBox::Warning, ToQString(kProductName),
                  ToQString(text), QMessageBox::Ok, view_.get());
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void QtFrontEnd::ShowSummary(const RunSummary& summary) {
  WriteSummaryToStreams(ProcessConsole(), summary);
  // A run that ended before completion was closed, signalled, or told why
  // in a box already.
  if (!view_ || summary.outcome == RunOutcome::kInterrupted) return;
  view_->ShowStatus(summary.StatusLine());
  if (summary.all_well) {
    // Closing the window meanwhile ends the run at once.
    QEventLoop shown;
    QTimer closer;
    closer.setSingleShot(true);
    QObject::connect(&closer, &QTimer::timeout, &shown, &QEventLoop::quit);
    closer.start(kSummaryShownFor);
    shown.exec();
    return;
  }
  QMessageBox box(summary.outcome == RunOutcome::kProblems
                      ? QMessageBox::Warning
                      : QMessageBox::Information,
                  ToQString(kProductName), ToQString(summary.BoxText()),
                  QMessageBox::Ok, view_.get());
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void QtFrontEnd::Close() {
  // The widgets get the last state; nothing waits on the display, which
  // goes away with the process right after.
  if (view_) {
    view_->Refresh();
  }
}

void QtFrontEnd::Watch(Timer& timer) {
  WatchedTimer& watched =
      *timers_.emplace_back(std::make_unique<WatchedTimer>());
  QTimer& qt_timer = watched.timer;
  qt_timer.setTimerType(Qt::PreciseTimer);
  qt_timer.setInterval(timer.interval());
  // Qt may deliver a timeout while the previous tick still runs, since the
  // passes yield to this loop; Timer::Tick refuses those itself.
  QObject::connect(&qt_timer, &QTimer::timeout, [&timer] { timer.Tick(); });
  timer.SetObserver([&watched, &timer](bool enabled) {
    if (enabled) {
      watched.timer.start(timer.interval());
      // This window runs where a waitable is a descriptor, which a socket
      // notifier watches as it watches a socket.
      for (const Waitable& waitable : timer.wakers()) {
        auto& waker =
            watched.wakers.emplace_back(std::make_unique<QSocketNotifier>(
                waitable.native(), QSocketNotifier::Read));
        QObject::connect(waker.get(), &QSocketNotifier::activated,
                         [&timer] { timer.Tick(); });
      }
    } else {
      watched.timer.stop();
      // A descriptor left readable must not keep waking the loop.
      watched.wakers.clear();
    }
  });
  if (timer.enabled()) {
    qt_timer.start();
  }
}

void QtFrontEnd::UnloadIfSignalled() {
  if (QuitSignals::Pending()) {
    window_->Unload(RunOutcome::kInterrupted);
  }
}

}  // namespace

std::unique_ptr<FrontEnd> MakeWindowFrontEnd(int& argc, char** argv) {
  return std::make_unique<QtFrontEnd>(argc, argv);
}

}  // namespace trovane
