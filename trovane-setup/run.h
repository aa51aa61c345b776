// One run of Trovane Setup once its start checks have passed: the window
// loads, its events carry the run through the analysis pass, the batch wait
// and the search pass, and its unload ends the process.
#ifndef TROVANE_TROVANE_SETUP_RUN_H_
#define TROVANE_TROVANE_SETUP_RUN_H_

#include "platform/clock.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "shell/front_end.h"
#include "shell/window.h"
#include "trovane-setup/start_checks.h"

namespace trovane {

// The two passes, each its stages in the order they run.
class RunPasses : public WindowPasses {
 public:
  void AnalysisPass(Window& window) override;
  void SearchPass(Window& window) override;
};

// What a run works with, made by the program's start for this system.
struct RunSystem {
  FileSystem& files;
  Clock& clock;
  const Environment& environment;
  ProcessLauncher& launcher;
  FrontEnd& front_end;
};

// Runs to the end of the process; the run's outcome is its exit status.
[[noreturn]] void Run(const RunSystem& system, const RunStart& start);

}  // namespace trovane

#endif  // TROVANE_TROVANE_SETUP_RUN_H_
