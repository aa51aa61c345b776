#include "tests/e2e/terminal.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <sstream>
#include <thread>

#include "tests/support/child_process.h"

namespace trovane::testing {
namespace {

constexpr char kSession[] = "run";

// `text` in single quotes for sh.
std::string Quoted(const std::string& text) {
  std::string quoted = "'";
  for (char c : text) {
    if (c == '\'') {
      quoted += "'\\''";
    } else {
      quoted.push_back(c);
    }
  }
  return quoted + "'";
}

// The server's socket and its settings stay in the sandbox: no tmux
// configuration of the user's is read, and no folder of its own made.
std::vector<std::string> TmuxCommand(const Sandbox& sandbox,
                                     const std::vector<std::string>& rest) {
  std::vector<std::string> command = {"tmux", "-S", sandbox.Path("tmux.socket"),
                                      "-f", "/dev/null"};
  command.insert(command.end(), rest.begin(), rest.end());
  return command;
}

}  // namespace

Terminal::Terminal(const Sandbox& sandbox, int columns, int rows)
    : sandbox_(sandbox), columns_(columns), rows_(rows) {
  // Not a daemon: the server stays this process's child, and ends with the
  // terminal.
  server_ = std::make_unique<ChildProcess>(
      ChildOptions{.arguments = TmuxCommand(sandbox_, {"-D"}),
                   .environment = Environment(),
                   .inherit_environment = false,
                   .err_path = sandbox_.Path("tmux-server.err")});
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (!sandbox_.Exists("tmux.socket") &&
         std::chrono::steady_clock::now() < deadline) {
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  }
  EXPECT_TRUE(sandbox_.Exists("tmux.socket"))
      << "no tmux server: " << sandbox_.Read("tmux-server.err")
      << " (make deps installs tmux)";
}

Terminal::~Terminal() {
  Tmux({"kill-server"});
  // Gone, socket and all, before another terminal starts in the sandbox.
  server_->Wait();
}

std::vector<std::string> Terminal::Environment() const {
  return {"PATH=/usr/bin:/bin", "HOME=" + sandbox_.root(), "TERM=xterm"};
}

std::string Terminal::Tmux(const std::vector<std::string>& arguments) const {
  const int status = RunToEnd({.arguments = TmuxCommand(sandbox_, arguments),
                               .environment = Environment(),
                               .inherit_environment = false,
                               .out_path = sandbox_.Path("tmux.out"),
                               .err_path = sandbox_.Path("tmux.err")});
  EXPECT_TRUE(status == 0 || arguments.front() == "kill-server")
      << "tmux " << arguments.front() << ": " << sandbox_.Read("tmux.err");
  return sandbox_.Read("tmux.out");
}

void Terminal::Start(const std::vector<std::string>& command,
                     const std::map<std::string, std::string>& environment,
                     const std::string& folder) {
  std::string script = "cd " + Quoted(folder) + " && env -i";
  for (const auto& [name, value] : environment) {
    script += " " + Quoted(name + "=" + value);
  }
  for (const std::string& word : command) script += " " + Quoted(word);
  // The status is kept in a file, and the shell stays so that the screen
  // stays as the run left it.
  script += "\necho $? > " + Quoted(sandbox_.Path("terminal.status")) +
            "\nexec sleep 60\n";
  sandbox_.Write("terminal.sh", script);
  std::filesystem::remove(sandbox_.Path("terminal.status"));
  Tmux({"new-session", "-d", "-s", kSession, "-x", std::to_string(columns_),
        "-y", std::to_string(rows_),
        "sh " + Quoted(sandbox_.Path("terminal.sh"))});
}

int Terminal::WaitForEnd() {
  const auto deadline =
      std::chrono::steady_clock::now() + std::chrono::seconds(60);
  // Enter is pressed once for each question: the screen has grown by the
  // time the next one asks.
  size_t asked_at_rows = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    if (sandbox_.Exists("terminal.status")) {
      const std::string status = sandbox_.Read("terminal.status");
      if (!status.empty() && status.back() == '\n') return std::stoi(status);
    }
    const std::vector<std::string> screen = Screen();
    if (!screen.empty() && screen.back() == "Press Enter to continue." &&
        screen.size() != asked_at_rows) {
      asked_at_rows = screen.size();
      Tmux({"send-keys", "-t", kSession, "Enter"});
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return -1;
}

std::vector<std::string> Terminal::Screen() const {
  std::istringstream shown(Tmux({"capture-pane", "-p", "-t", kSession}));
  std::vector<std::string> rows;
  for (std::string row; std::getline(shown, row);) rows.push_back(row);
  while (!rows.empty() &&
         rows.back().find_first_not_of(' ') == std::string::npos) {
    rows.pop_back();
  }
  return rows;
}

}  // namespace trovane::testing
