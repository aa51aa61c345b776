#include "tests/shell/qt_window_harness.h"

#include <stdlib.h>
#include <sys/stat.h>

#include <QApplication>
#include <stdexcept>
#include <thread>

#include "platform/file_numbers.h"
#include "shell/window_front_end.h"

namespace trovane::testing {
namespace {

// Qt keeps runtime files in XDG_RUNTIME_DIR, or else in a folder of its own
// making in /tmp: under test they stay in the sandbox, hidden from the
// program's view of drive C.
std::unique_ptr<FrontEnd> MakeFrontEndInside(const Sandbox& sandbox, int& argc,
                                             char** argv) {
  const std::string runtime = sandbox.Path(".qt-runtime");
  mkdir(runtime.c_str(), 0700);
  setenv("XDG_RUNTIME_DIR", runtime.c_str(), /*overwrite=*/1);
  return MakeWindowFrontEnd(argc, argv);
}

}  // namespace

QtWindowHarness::QtWindowHarness(const Sandbox& sandbox, EndProcess end_process)
    : files_(sandbox.Files()),
      environment_("C:\\Run"),
      data_(files_, FileNumbers::Process(), clock_, environment_),
      front_end_(MakeFrontEndInside(sandbox, argc_, argv_)),
      window_({.files = files_,
               .clock = clock_,
               .data = data_,
               .file_numbers = FileNumbers::Process(),
               .launcher = launcher_,
               .interpreter = "trovane-cmd",
               .end_process = std::move(end_process)},
              passes_, *front_end_) {
  sandbox.MakeFolder("Run");
  sandbox.MakeFolder("Temp");
  environment_.Set("TEMP", "C:\\Temp");
  window_.Form_Load();
}

QWidget& QtWindowHarness::Show() {
  front_end_->Show(window_);
  for (QWidget* widget : QApplication::topLevelWidgets()) {
    if (widget->objectName() == "Window") {
      return *widget;
    }
  }
  throw std::logic_error("the front end shows no window");
}

bool QtWindowHarness::ProcessEventsUntil(const std::function<bool()>& done,
                                         std::chrono::milliseconds limit) {
  const auto deadline = std::chrono::steady_clock::now() + limit;
  for (;;) {
    front_end_->ProcessPendingEvents();
    if (done()) {
      return true;
    }
    if (std::chrono::steady_clock::now() > deadline) {
      return false;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
}

void QtWindowHarness::ThrowProcessEnded(int status) {
  throw ProcessEnded{status};
}

}  // namespace trovane::testing
