// Trovane Setup: one unattended run from start to exit. The window loads,
// its first tick runs the analysis pass, the batch wait hands over to the
// search pass, and the unload ends the process with the run's outcome as
// its exit status.
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "analysis/analysis_pass.h"
#include "databank/data.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/linux_file_system.h"
#include "platform/process.h"
#include "platform/version.h"
#include "search/search_pass.h"
#include "shell/console_front_end.h"
#include "shell/front_end_choice.h"
#include "shell/qt_front_end.h"
#include "shell/quit_signals.h"
#include "shell/window.h"
#include "trovane-setup/usage.h"

namespace trovane {
namespace {

// The passes, wired to the window's events.
class RunPasses : public WindowPasses {
 public:
  void AnalysisPass(Window& window) override {
    trovane::AnalysisPass(window).Run();
  }
  void SearchPass(Window& window) override {
    trovane::SearchPass(window).Run();
  }
};

[[noreturn]] void EndProcessNow(int status) {
  std::fflush(nullptr);
  // At once: no destructor of an interrupted pass, nor the toolkit's, runs.
  _exit(status);
}

std::unique_ptr<FrontEnd> MakeFrontEnd(FrontEndKind kind, int& argc,
                                       char** argv) {
  switch (kind) {
    case FrontEndKind::kWindow:
      return MakeQtFrontEnd(argc, argv);
    case FrontEndKind::kTerminal:
      return std::make_unique<ConsoleFrontEnd>(ConsoleFrontEnd::Mode::kTerminal,
                                               STDERR_FILENO, STDIN_FILENO,
                                               STDOUT_FILENO);
    case FrontEndKind::kQuiet:
      break;
  }
  return std::make_unique<ConsoleFrontEnd>(ConsoleFrontEnd::Mode::kQuiet,
                                           STDERR_FILENO, STDIN_FILENO,
                                           STDOUT_FILENO);
}

// What the command line asks for, when it asks for something other than a
// run; nullopt for a run.
std::optional<int> AnswerCommandLine(int argc, char** argv) {
  if (argc == 2 && std::string_view(argv[1]) == "--help") {
    std::fputs(std::string(kUsageSynopsis).c_str(), stdout);
    std::fputs(std::string(kUsageDetails).c_str(), stdout);
    return 0;
  }
  if (argc == 2 && std::string_view(argv[1]) == "--version") {
    std::printf("%s %s\n", std::string(kProductName).c_str(),
                std::string(kVersion).c_str());
    return 0;
  }
  return std::nullopt;
}

int Main(int argc, char** argv) {
  if (const std::optional<int> status = AnswerCommandLine(argc, argv)) {
    return *status;
  }
  ProcessEnvironment environment;
  std::string drive_error;
  const std::optional<DriveMap> drives =
      DriveMap::FromEnvironment(environment, &drive_error);
  if (!drives) {
    std::fprintf(stderr, "%s\n", drive_error.c_str());
    return 3;  // the run could not start; nothing was written
  }
  LinuxFileSystem files(PathView(*drives, environment.CurrentFolder()));
  SystemClock clock;
  Data data(files, clock, environment);
  DetachedLauncher launcher;
  RunPasses passes;
  QuitSignals::Install();
  std::unique_ptr<FrontEnd> front_end = MakeFrontEnd(
      ChooseFrontEnd(environment, isatty(STDERR_FILENO) == 1), argc, argv);
  Window window({files, clock, data, FileNumbers::Process(), launcher,
                 FindCompanion("trovane-cmd", environment), EndProcessNow},
                passes, *front_end);
  window.Form_Load();
  front_end->Show(window);
  front_end->Run();
  return static_cast<int>(RunOutcome::kInterrupted);  // Run() never returns
}

}  // namespace
}  // namespace trovane

int main(int argc, char** argv) { return trovane::Main(argc, argv); }
