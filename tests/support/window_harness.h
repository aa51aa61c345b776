// A main window over a disk in memory, shown by a scripted front end:
// tests drive its events by hand and decide what happens while a pass
// yields. The end of the process is an exception that carries the exit
// status, so that the interrupted pass unwinds and the test goes on.
#ifndef TROVANE_TESTS_SUPPORT_WINDOW_HARNESS_H_
#define TROVANE_TESTS_SUPPORT_WINDOW_HARNESS_H_

#include <functional>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "databank/data.h"
#include "platform/process.h"
#include "shell/front_end.h"
#include "shell/window.h"
#include "tests/support/fakes.h"
#include "tests/support/memory_file_system.h"

namespace trovane::testing {

// Thrown where the process would end.
struct ProcessEnded {
  int status;
};

class ScriptedFrontEnd : public FrontEnd {
 public:
  void Show(Window& window) override { window_ = &window; }
  void Run() override {}
  // Counts the yield, then runs what the test scripted for it.
  void ProcessPendingEvents() override;
  void MessageBox(std::string_view title, std::string_view text,
                  const std::vector<std::string>& details) override {
    boxes.emplace_back(title, text);
    box_details.push_back(details);
  }
  void ReportFailure(std::string_view text) override {
    failures.emplace_back(text);
  }
  void ShowSummary(const RunSummary& summary) override {
    summaries.push_back(summary);
  }
  void Close() override { ++closes; }

  // Called with the yield's number (from 1) at every yield.
  std::function<void(int)> on_yield;
  int yields = 0;
  int closes = 0;
  std::vector<std::pair<std::string, std::string>> boxes;
  std::vector<std::vector<std::string>> box_details;  // by box
  std::vector<std::string> failures;
  std::vector<RunSummary> summaries;

 private:
  Window* window_ = nullptr;
};

// Passes given as plain functions.
class FunctionPasses : public WindowPasses {
 public:
  void AnalysisPass(Window& window) override {
    if (analysis) analysis(window);
  }
  void SearchPass(Window& window) override {
    if (search) search(window);
  }
  std::function<void(Window&)> analysis;
  std::function<void(Window&)> search;
};

// A launcher that only records what it was asked to start. What it
// "starts" runs until the test says the processes have ended, and tells
// the listed paths the test sets.
class RecordingLauncher : public ProcessLauncher {
 public:
  struct Started {
    std::string program;
    std::vector<std::string> arguments;
    std::string folder;
    std::string error_file;
  };
  std::string FindCompanion(std::string_view name) const override {
    return companions.contains(name) ? companions.find(name)->second
                                     : std::string();
  }
  std::unique_ptr<StartedProcess> StartDetached(
      const std::string& program, const std::vector<std::string>& arguments,
      const std::string& folder, const std::string& error_file) override {
    started.push_back({program, arguments, folder, error_file});
    return std::make_unique<Process>(*this);
  }
  // The companions there are, by name.
  std::map<std::string, std::string, std::less<>> companions;
  std::vector<Started> started;
  bool ended = false;
  uint64_t listed_paths = 0;

 private:
  class Process : public StartedProcess {
   public:
    explicit Process(const RecordingLauncher& launcher) : launcher_(launcher) {}
    bool Ended() override { return launcher_.ended; }
    Waitable EndWaker() const override { return {}; }
    uint64_t ListedPaths() const override { return launcher_.listed_paths; }

   private:
    const RecordingLauncher& launcher_;
  };
};

// The program's folder is C:\Run, the temporary folder C:\Temp, and the
// interpreter /opt/vek/bin/trovane-cmd.
class WindowHarness {
 public:
  static constexpr char kInterpreter[] = "/opt/vek/bin/trovane-cmd";

  explicit WindowHarness(WindowPasses& passes,
                         std::string interpreter = kInterpreter);

  // The activity log's messages, each line's time stamp cut off.
  std::vector<std::string> ActivityLog() const;

  // Runs `event` and returns the exit status it ended the process with;
  // fails the test when it returns instead.
  int ExpectEnd(const std::function<void()>& event);

  MemoryFileSystem files;
  FakeClock clock;
  FakeEnvironment environment;
  Data data;
  RecordingLauncher launcher;
  ScriptedFrontEnd front_end;
  Window window;
};

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_SUPPORT_WINDOW_HARNESS_H_
