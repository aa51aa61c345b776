#include "tests/e2e/program_run.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

namespace trovane::testing {

ProgramRun::ProgramRun(Interpreter interpreter)
    : command({sandbox.Path("Run/trovane-setup")}),
      environment({{"VEK_DRIVE_C", sandbox.root()},
                   {"TEMP", sandbox.Path("Temp")},
                   {"HOME", sandbox.root()},
                   {"WINEPREFIX", sandbox.Path(".wine")},
                   {"PATH", "/nonexistent"},
                   {"TROVANE_UI", "quiet"}}) {
  sandbox.MakeFolder("Run");
  sandbox.MakeFolder("Temp");
  std::filesystem::copy_file(TROVANE_SETUP_PATH,
                             sandbox.Path("Run/trovane-setup"));
  if (interpreter == Interpreter::kReal) {
    std::filesystem::copy_file(TROVANE_CMD_PATH,
                               sandbox.Path("Run/trovane-cmd"));
  } else {
    // The never-ending one outlives the test a little, as a batch the
    // program left would.
    sandbox.Write("Run/trovane-cmd", interpreter == Interpreter::kNeverEnding
                                         ? "#!/bin/sh\nexec /bin/sleep 20\n"
                                         : "#!/bin/sh\nexit 0\n");
    std::filesystem::permissions(sandbox.Path("Run/trovane-cmd"),
                                 std::filesystem::perms::owner_all);
  }
}

void ProgramRun::Start() {
  std::vector<std::string> settings;
  for (const auto& [name, value] : environment) {
    settings.push_back(name + "=" + value);
  }
  program_ = std::make_unique<ChildProcess>(
      ChildOptions{.arguments = command,
                   .environment = settings,
                   .inherit_environment = false,
                   .folder = sandbox.Path("Run"),
                   .out_path = sandbox.Path("stdout.txt"),
                   .err_path = sandbox.Path("stderr.txt")});
}

int ProgramRun::Run() {
  Start();
  return program_->Wait();
}

bool ProgramRun::WaitForLog(const std::string& message) const {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(60);
  while (std::chrono::steady_clock::now() < deadline) {
    const std::vector<std::string> log = ActivityLog();
    if (std::find(log.begin(), log.end(), message) != log.end()) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  return false;
}

int ProgramRun::Stop(int signal_number) {
  program_->Signal(signal_number);
  return program_->Wait();
}

}  // namespace trovane::testing
