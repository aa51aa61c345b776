// trovane-setup: the command line is answered, the front end chosen, the
// disk opened and its drive C checked, and the start checked; then the run
// goes its road
// (trovane-setup/run.cc) to the end of the process.
#include <cstdio>
#include <exception>
#include <memory>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>

#include "platform/clock.h"
#include "platform/console.h"
#include "platform/display.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/quit_signals.h"
#include "platform/version.h"
#include "shell/console_front_end.h"
#include "shell/front_end_choice.h"
#include "shell/window_front_end.h"
#include "trovane-setup/command_line.h"
#include "trovane-setup/run.h"
#include "trovane-setup/start_checks.h"
#include "trovane-setup/usage.h"

namespace trovane {
namespace {

std::unique_ptr<FrontEnd> MakeFrontEnd(FrontEndKind kind, int& argc,
                                       char** argv) {
  switch (kind) {
    case FrontEndKind::kWindow:
      return MakeWindowFrontEnd(argc, argv);
    case FrontEndKind::kTerminal:
      return std::make_unique<ConsoleFrontEnd>(ConsoleFrontEnd::Mode::kTerminal,
                                               ProcessConsole());
    case FrontEndKind::kQuiet:
      break;
  }
  return std::make_unique<ConsoleFrontEnd>(ConsoleFrontEnd::Mode::kQuiet,
                                           ProcessConsole());
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
      ChooseFrontEnd(environment, DisplayAvailable(environment),
                     ProcessConsole().ErrorIsTerminal());
  std::unique_ptr<FrontEnd> front_end;
  // Started from a desktop's menu, nobody sees standard error: the window
  // says it in a box too.
  const auto refuse = [&](const std::string& problem) {
    if (front_end_kind == FrontEndKind::kWindow) {
      if (!front_end) front_end = MakeWindowFrontEnd(argc, argv);
      front_end->ReportFailure(problem);
    }
    return RefuseToStart(problem);
  };

  std::variant<std::unique_ptr<FileSystem>, std::string> disk =
      OpenLocalDisk(environment);
  if (const std::string* problem = std::get_if<std::string>(&disk)) {
    return refuse(*problem);
  }
  if (const std::string problem = DriveCProblem(environment);
      !problem.empty()) {
    return refuse(problem);
  }
  FileSystem& files = *std::get<std::unique_ptr<FileSystem>>(disk);
  const std::unique_ptr<ProcessLauncher> launcher =
      MakeProcessLauncher(environment);
  RunFolderQuestion ask_for_folder;
  if (front_end_kind == FrontEndKind::kWindow) {
    // Only the window can ask; its application is made for the question
    // and then serves the window too.
    ask_for_folder = [&](const std::string& start) {
      front_end = MakeWindowFrontEnd(argc, argv);
      return AskForRunFolder(start);
    };
  }
  const std::variant<RunStart, std::string> checked =
      CheckStart(environment, files, *launcher, command.folder, ask_for_folder);
  if (const std::string* problem = std::get_if<std::string>(&checked)) {
    return refuse(*problem);
  }
  const RunStart& start = std::get<RunStart>(checked);
  environment.SetRunFolder(start.run_folder);

  SystemClock clock;
  QuitSignals::Install();
  if (!front_end) front_end = MakeFrontEnd(front_end_kind, argc, argv);
  Run({files, clock, environment, *launcher, *front_end}, start);
}

}  // namespace
}  // namespace trovane

// Whatever escapes the run (memory running out, above all) still ends it
// with a sentence and the status of a run that ended before completion,
// not with an abort; every databank write already done stays whole.
int main(int argc, char** argv) {
  try {
    return trovane::Main(argc, argv);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "trovane-setup: stopped: %s\n", error.what());
  } catch (...) {
    std::fprintf(stderr, "trovane-setup: stopped by an unknown error\n");
  }
  return 2;
}
