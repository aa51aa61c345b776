#include "shell/window.h"

#include <cstdlib>

#include "shell/batch_messages.h"

namespace trovane {
namespace {

constexpr std::chrono::milliseconds kTimerInterval{1};
// How often a wait that the scan batch wakes looks all the same: a signal
// written where no watch sees it is still found.
constexpr std::chrono::milliseconds kWokenWaitInterval{250};

}  // namespace

Window::Window(Services services, WindowPasses& passes, FrontEnd& front_end)
    : services_(std::move(services)),
      passes_(passes),
      front_end_(front_end),
      activity_log_(services_.files, services_.clock),
      right_after_load_(kTimerInterval, [this] { RightAfterLoad_Timer(); }),
      p2_(revision_),
      wait_(kTimerInterval, [this] { Wait_Timer(); }),
      start_("Start"),
      p1_(revision_),
      filename_(revision_, ""),
      doing_what_(revision_, "Loading...") {}

void Window::Form_Load() {
  Data& data = services_.data;
  // A wait for another process's lock lets the window's events through.
  data.SetWaitHandler([this] { DoEvents(); });
  // The previous run's I/O log survives as Database_IO.log.x.
  data.StartDatabankLog(/*keep_previous=*/true);
  data.OpenDatabankAccess();
  activity_log_.SetFolder(data.run_path());
  activity_log_.Delete();
  LogActivity("Cleanup");
  // A completion signal left by an earlier run must not end this run's wait.
  services_.files.Delete(InFolder(data.temporary_folder(), kSignalFileName));
  right_after_load_.SetEnabled(true);
}

void Window::RightAfterLoad_Timer() { passes_.AnalysisPass(*this); }

void Window::Start_Click() { passes_.SearchPass(*this); }

void Window::Form_Unload() {
  // A second close while the summary is shown: the log is complete and
  // every file closed by then, so the process ends at once.
  if (unloading_) {
    services_.end_process(static_cast<int>(outcome_));
    return;
  }
  unloading_ = true;
  LogActivity("About to exit");
  LogActivity("Cleanup");
  // Made before every file is closed, since the scan batch's messages are
  // read for it: nothing is opened after that.
  const RunSummary summary = Summary();
  services_.data.SyncWritten();
  services_.file_numbers.CloseAll();
  front_end_.ShowSummary(summary);
  front_end_.Close();
  services_.end_process(static_cast<int>(outcome_));
}

void Window::Unload(RunOutcome outcome) {
  if (!unloading_) outcome_ = outcome;
  Form_Unload();
  // Ending the process never comes back; should it, end it the hard way
  // rather than run on in a half-closed state.
  std::abort();
}

void Window::LogActivity(std::string_view text) { activity_log_.Append(text); }

void Window::DoEvents() { front_end_.ProcessPendingEvents(); }

void Window::MessageBox(std::string_view title, std::string_view text,
                        const std::vector<std::string>& details) {
  front_end_.MessageBox(title, text, details);
}

void Window::StartScanBatch(const std::string& batch) {
  // An earlier run's batch, stopped or stuck, that still holds the disk
  // map would hold this one up unseen: the user hears of it.
  const std::string disk_map = InFolder(temporary_folder(), kDiskMapName);
  const bool behind_earlier_batch = services_.files.InUse(disk_map);
  if (behind_earlier_batch) {
    report_.Notice("An earlier run's scan batch was still listing into " +
                   disk_map +
                   " as this run's was started, which waited for it to end.");
  }
  // The wait's look makes the signal file, empty, while it is missing: one
  // look before the batch starts has it there for the batch's Del in
  // every run, so that what the batch says does not hang on which of the
  // two, the batch or the wait's first look, comes first.
  if (std::unique_ptr<InputFile> signal = OpenSignal()) signal->Close();
  std::unique_ptr<StartedProcess> process =
      services_.interpreter.empty()
          ? nullptr
          : services_.launcher.StartDetached(
                services_.interpreter, {batch}, run_path(),
                InFolder(run_path(), kBatchMessagesName));
  if (!process) {
    scan_batch_failed_ = true;
    return;
  }
  scan_batch_ = std::make_unique<ScanBatch>(
      std::move(process), services_.files.WatchFolder(temporary_folder()),
      behind_earlier_batch);
  // Woken by the signal and by the batch's end, the wait need not look
  // every millisecond.
  std::vector<Waitable> wakers = scan_batch_->Wakers();
  if (!wakers.empty()) Wait().SetWakers(std::move(wakers), kWokenWaitInterval);
}

std::optional<ScanProgress> Window::Progress() const {
  if (!scan_batch_ || !wait_.enabled()) return std::nullopt;
  return scan_batch_->Progress();
}

RunSummary Window::Summary() const {
  // Only this run's batch speaks: a file an earlier batch left says nothing
  // of this run. The batch begins by deleting the completion signal, which
  // the start-up deleted already: that it found none is no news.
  const std::vector<std::string> messages =
      scan_batch_
          ? ReadBatchMessages(services_.files,
                              InFolder(run_path(), kBatchMessagesName),
                              "Could Not Find " +
                                  InFolder(temporary_folder(), kSignalFileName))
          : std::vector<std::string>();
  return SummarizeRun(report_, outcome_, file_list_.items(), messages);
}

}  // namespace trovane
