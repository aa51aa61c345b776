// The batch wait: Wait's tick polls the completion signal that the scan
// batch writes as its last act.
#include <string>

#include "platform/text.h"
#include "shell/window.h"

namespace trovane {

namespace {

constexpr std::string_view kBatchEnded =
    "The scan batch ended without writing its completion signal: the disk "
    "was not listed, and the run stops here.";
constexpr std::string_view kBatchNotStarted =
    "The scan batch could not be started: the disk cannot be listed, and the "
    "run stops here.";

}  // namespace

std::unique_ptr<InputFile> Window::OpenSignal() {
  // The signal file lies in the temporary folder, which may be shared: it
  // is never opened through a symbolic link. Opening creates it empty when
  // it is missing; the batch deletes and rewrites it all the same.
  return services_.files.OpenForReading(
      InFolder(temporary_folder(), kSignalFileName),
      {.refuse_link = true, .create = true});
}

void Window::Wait_Timer() {
  // Taken in before the look at the signal: a batch that writes its signal
  // and then ends must not pass for one that ended without it.
  const bool batch_ended = scan_batch_ && scan_batch_->TakeInEnded();
  char signal[2] = {'\0', '\0'};
  std::unique_ptr<InputFile> file = OpenSignal();
  if (file) {
    file->ReadBytes(signal, sizeof signal);
    file->Close();
  }
  const std::string_view text(signal, sizeof signal);
  // The signal counts once the run's own batch, which writes it as one of
  // its last lines, has ended: one written by anybody else meanwhile (an
  // earlier run's batch still at work on the same disk map) must not start
  // the search on a listing that is not done. The batch ends a moment
  // after its signal, and its end wakes the wait.
  const bool signalled =
      UpperAscii(TrimBlanks(text)) == "OK" && scan_batch_ && batch_ended;
  const bool over = signalled || FileList().ListCount() == 0;
  Start().SetEnabled(over);
  Wait().SetEnabled(!Start().enabled());
  if (Start().enabled()) {
    Start_Click();
  } else if ((batch_ended && !signalled) || scan_batch_failed_) {
    // Nothing will write the signal now: waiting on would be for ever.
    front_end_.ReportFailure(batch_ended ? kBatchEnded : kBatchNotStarted);
    Unload(RunOutcome::kInterrupted);
  }
}

}  // namespace trovane
