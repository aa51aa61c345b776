// Trovane Setup: one unattended run from start to exit. The window loads,
// its first tick runs the analysis pass, the batch wait hands over to the
// search pass, and the unload ends the process with the run's outcome as
// its exit status.
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "analysis/analysis_pass.h"
#include "databank/data.h"
#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/linux/linux_file_system.h"
#include "platform/process.h"
#include "platform/version.h"
#include "search/search_pass.h"
#include "shell/console_front_end.h"
#include "shell/front_end_choice.h"
#include "shell/qt_folder_chooser.h"
#include "shell/qt_front_end.h"
#include "platform/quit_signals.h"
#include "shell/window.h"
#include "trovane-setup/command_line.h"
#include "trovane-setup/start_checks.h"
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

// A run that cannot start says why and ends before anything is written.
int RefuseToStart(std::string_view message) {
  std::fprintf(stderr, "trovane-setup: %s\n", std::string(message).c_str());
  return 3;
}

// What the command line asks for, when it asks for something other than a
// run; nullopt for a run.
std::optional<int> AnswerCommandLine(const CommandLine& command) {
  switch (command.request) {
    case CommandLine::Request::kRun:
      return std::nullopt;
    case CommandLine::Request::kShowHelp:
      std::fputs(std::string(kUsageSynopsis).c_str(), stdout);
      std::fputs(std::string(kUsageDetails).c_str(), stdout);
      return 0;
    case CommandLine::Request::kShowVersion:
      std::printf("%s %s\n", std::string(kProductName).c_str(),
                  std::string(kVersion).c_str());
      return 0;
    case CommandLine::Request::kWrong:
      break;
  }
  RefuseToStart(command.problem);
  std::fputs(std::string(kUsageSynopsis).c_str(), stderr);
  std::fputs("Try 'trovane-setup --help' for more information.\n", stderr);
  return 3;
}

int Main(int argc, char** argv) {
  const std::span<const char* const> words(argv, static_cast<size_t>(argc));
  const CommandLine command = ParseCommandLine(words.subspan(argc > 0 ? 1 : 0));
  if (const std::optional<int> status = AnswerCommandLine(command)) {
    return *status;
  }
  ProcessEnvironment environment;
  const FrontEndKind front_end_kind =
      ChooseFrontEnd(environment, isatty(STDERR_FILENO) == 1);
  std::unique_ptr<FrontEnd> front_end;
  RunFolderQuestion ask_for_folder;
  if (front_end_kind == FrontEndKind::kWindow) {
    // Only the window can ask; its application is made for the question
    // and then serves the window too.
    ask_for_folder = [&] {
      front_end = MakeQtFrontEnd(argc, argv);
      return AskForRunFolder(environment.CurrentFolder());
    };
  }
  std::variant<RunStart, std::string> checked =
      CheckStart(environment, command.folder, ask_for_folder);
  RunStart* start = std::get_if<RunStart>(&checked);
  if (start == nullptr) {
    const std::string& problem = *std::get_if<std::string>(&checked);
    // Started from a desktop's menu, nobody sees standard error: the window
    // says it in a box too.
    if (front_end_kind == FrontEndKind::kWindow) {
      if (!front_end) front_end = MakeQtFrontEnd(argc, argv);
      front_end->ReportFailure(problem);
    }
    return RefuseToStart(problem);
  }
  environment.SetProgramFolder(start->run_folder);

  LinuxFileSystem files(
      PathView(std::move(start->drives), environment.CurrentFolder()));
  SystemClock clock;
  Data data(files, clock, environment);
  DetachedLauncher launcher;
  RunPasses passes;
  QuitSignals::Install();
  if (!front_end) front_end = MakeFrontEnd(front_end_kind, argc, argv);
  Window window({files, clock, data, FileNumbers::Process(), launcher,
                 std::move(start->interpreter), EndProcessNow},
                passes, *front_end);
  window.Form_Load();
  front_end->Show(window);
  front_end->Run();
  return static_cast<int>(RunOutcome::kInterrupted);  // Run() never returns
}

}  // namespace
}  // namespace trovane

int main(int argc, char** argv) { return trovane::Main(argc, argv); }
