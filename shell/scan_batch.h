// The scan batch once it is started: the interpreter's process, which
// tells how many paths it has listed so far, and a watch on the temporary
// folder, where the completion signal appears. The batch wait is woken by the
// watch and by the end of the process instead of looking every millisecond, and
// it tells a batch that ended without its signal from one still at work.
#ifndef TROVANE_SHELL_SCAN_BATCH_H_
#define TROVANE_SHELL_SCAN_BATCH_H_

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/file_system.h"
#include "platform/process.h"
#include "platform/waitable.h"

namespace trovane {

// What the scan has done so far, for the user's eyes only.
struct ScanProgress {
  uint64_t paths = 0;  // listed so far
  std::chrono::seconds elapsed{0};
};

// "1,234,567 paths listed in 0:05".
std::string ProgressText(const ScanProgress& progress);

class ScanBatch {
 public:
  ScanBatch(std::unique_ptr<StartedProcess> process,
            std::unique_ptr<FolderWatch> watch);

  // What wakes the wait: the watch and the process's end. Empty when the
  // folder cannot be watched: the wait must then look as often as it can.
  std::vector<Waitable> Wakers() const;

  // Takes in what woke the wait; true when the process had ended by now.
  bool TakeInEnded();

  ScanProgress Progress() const;

 private:
  std::unique_ptr<StartedProcess> process_;
  std::unique_ptr<FolderWatch> watch_;
  std::chrono::steady_clock::time_point started_;
};

}  // namespace trovane

#endif  // TROVANE_SHELL_SCAN_BATCH_H_
