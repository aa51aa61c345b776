// The main window: the one window that owns a whole run. Loading it
// prepares the logs and the completion signal and arms RightAfterLoad, whose
// tick runs the analysis pass; Wait polls for the scan batch's completion
// signal and then clicks Start, which runs the search pass; unloading writes
// the last log lines, closes every file and ends the process.
//
// The window is plain state and event handlers. A FrontEnd draws it and
// delivers its events; the passes reach its controls by name.
#ifndef TROVANE_SHELL_WINDOW_H_
#define TROVANE_SHELL_WINDOW_H_

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "databank/data.h"
#include "platform/file_numbers.h"
#include "platform/file_system.h"
#include "platform/process.h"
#include "shell/activity_log.h"
#include "shell/controls.h"
#include "shell/front_end.h"
#include "shell/run_outcome.h"
#include "shell/run_report.h"
#include "shell/run_summary.h"
#include "shell/scan_batch.h"

namespace trovane {

class Window;

// The two passes of a run, run inside the window's events.
class WindowPasses {
 public:
  virtual ~WindowPasses() = default;
  // The body of RightAfterLoad's tick: it ends by enabling Wait and
  // disabling RightAfterLoad.
  virtual void AnalysisPass(Window& window) = 0;
  // The body of Start's click: it ends by unloading the window.
  virtual void SearchPass(Window& window) = 0;
};

class Window {
 public:
  struct Services {
    FileSystem& files;
    Clock& clock;
    Data& data;
    FileNumbers& file_numbers;
    // What starts the scan batch, and the interpreter's Linux path.
    ProcessLauncher& launcher;
    std::string interpreter;
    // Ends the process at once with the given status; never returns.
    std::function<void(int status)> end_process;
  };

  Window(Services services, WindowPasses& passes, FrontEnd& front_end);
  Window(const Window&) = delete;
  Window& operator=(const Window&) = delete;

  // Events.
  void Form_Load();
  void RightAfterLoad_Timer();
  void Wait_Timer();
  void Start_Click();
  void Form_Unload();

  // Appends one line to the activity log.
  void LogActivity(std::string_view text);

  // Lets the window process pending events; an unload that arrives here
  // ends the process before this returns.
  void DoEvents();

  // Closes the window: Form_Unload runs and the process ends with the
  // outcome's status.
  [[noreturn]] void Unload(RunOutcome outcome = RunOutcome::kInterrupted);

  // The modal information box with one OK button; `details` name what the
  // text speaks of, one line each.
  void MessageBox(std::string_view title, std::string_view text,
                  const std::vector<std::string>& details = {});

  // Starts the command interpreter on the scan batch at `batch`, a process
  // of its own that the batch wait then watches. What it says on standard
  // error goes to "\Map.err" in the run path, which the summary shows.
  void StartScanBatch(const std::string& batch);
  // The scan batch could not be written whole, and is not started.
  void ScanBatchNotWritten() { scan_batch_failed_ = true; }

  // What the scan batch has listed so far, while the wait goes on.
  std::optional<ScanProgress> Progress() const;

  // What the passes did with the entries, as they tell it.
  RunReport& report() { return report_; }
  const RunReport& report() const { return report_; }
  // The summary of the run as it stands: what the databank holds for the
  // wanted entries, and what the scan batch said.
  RunSummary Summary() const;

  // What the passes work with: the disk, the clock and the databank.
  const Services& services() const { return services_; }

  // The controls, by name.
  Timer& RightAfterLoad() { return right_after_load_; }
  ProgressBar& P2() { return p2_; }
  Timer& Wait() { return wait_; }
  ListBox& FileList() { return file_list_; }
  CommandButton& Start() { return start_; }
  ProgressBar& P1() { return p1_; }
  Label& Filename() { return filename_; }
  Label& DoingWhat() { return doing_what_; }
  const ProgressBar& P2() const { return p2_; }
  const ProgressBar& P1() const { return p1_; }
  const Label& Filename() const { return filename_; }
  const Label& DoingWhat() const { return doing_what_; }

  // Bumped by every change a user could see.
  uint64_t revision() const { return revision_.value(); }

  // The run path and the temporary folder, as the databank layer settled
  // them at load.
  const std::string& run_path() const { return services_.data.run_path(); }
  const std::string& temporary_folder() const {
    return services_.data.temporary_folder();
  }

 private:
  // The completion signal file, opened to be read and made empty when it
  // is missing, as every look of the batch wait opens it; null when it
  // cannot be opened.
  std::unique_ptr<InputFile> OpenSignal();

  Services services_;
  WindowPasses& passes_;
  FrontEnd& front_end_;
  ActivityLog activity_log_;
  RunOutcome outcome_ = RunOutcome::kInterrupted;
  bool unloading_ = false;
  std::unique_ptr<ScanBatch> scan_batch_;
  bool scan_batch_failed_ = false;
  RunReport report_;

  Revision revision_;
  Timer right_after_load_;
  ProgressBar p2_;
  Timer wait_;
  ListBox file_list_;
  CommandButton start_;
  ProgressBar p1_;
  Label filename_;
  Label doing_what_;
};

}  // namespace trovane

#endif  // TROVANE_SHELL_WINDOW_H_
