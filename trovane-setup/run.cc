// The road of one run, in the order it goes. The window's events carry the
// run from one stage to the next, and each stage is a call named after
// what it does, declared in the header of the same name:
//
//   1. Start-up: the window loads (Window::Form_Load, shell/window.cc): the
//      databank I/O log is rotated, the databank access settled, the
//      activity log begun, the last completion signal deleted, and
//      RightAfterLoad armed.
//   2. The analysis pass, RightAfterLoad's first tick: AnalysisPass below.
//   3. The batch wait, Wait's ticks (Window::Wait_Timer,
//      shell/batch_wait.cc): once the scan batch's completion signal is
//      there, or nothing is left to look for, it clicks Start.
//   4. The search pass, Start's click: SearchPass below, which ends by
//      unloading the window.
//   5. Shutdown: the window unloads (Window::Form_Unload): the last log
//      lines, every file closed, the summary, and the process ends with
//      the run's outcome as its exit status. Closing the window or a quit
//      signal at any earlier moment takes the same road.
#include "trovane-setup/run.h"

#include <cstdio>
#include <cstdlib>

#include "analysis/disk_map_batch.h"
#include "analysis/old_entries.h"
#include "analysis/wanted_entries.h"
#include "databank/data.h"
#include "platform/file_numbers.h"
#include "search/completion_report.h"
#include "search/disk_map_scan.h"
#include "search/double_check.h"

namespace trovane {
namespace {

[[noreturn]] void EndProcessNow(int status) {
  std::fflush(nullptr);
  // At once: no destructor of an interrupted pass, nor the toolkit's, runs.
  std::_Exit(status);
}

}  // namespace

void RunPasses::AnalysisPass(Window& window) {
  const int read_count = LoadWantedEntries(window);
  CheckOldEntries(window);
  // Starts the scan batch when entries remain, and hands over to the
  // batch wait.
  BuildDiskMapBatch(window, read_count);
}

void RunPasses::SearchPass(Window& window) {
  ScanDiskMap(window);
  const bool problems = DoubleCheck(window);
  ReportCompletion(window, problems);
}

void Run(const RunSystem& system, const RunStart& start) {
  FileNumbers& numbers = FileNumbers::Process();
  Data data(system.files, numbers, system.clock, system.environment);
  RunPasses passes;
  Window window({system.files, system.clock, data, numbers, system.launcher,
                 start.interpreter, EndProcessNow},
                passes, system.front_end);
  window.Form_Load();
  system.front_end.Show(window);
  system.front_end.Run();
  // Run() delivers events until the unload ends the process.
  std::abort();
}

}  // namespace trovane
