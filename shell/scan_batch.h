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
  // Since the count last moved: a batch that is stopped or stuck on a hung
  // mount lists nothing for long.
  std::chrono::seconds unmoved{0};
  // An earlier run's batch was still writing the disk map as this one was
  // started, and this one waits for it.
  bool behind_earlier_batch = false;
};

// The count moving no more for this long is told.
inline constexpr std::chrono::seconds kUnmovedTold{30};

// "1,234,567 paths listed in 0:05", and after it, when the count has not
// moved for long, "; the listing has not moved for 0:30", or, while an
// earlier run's batch holds the disk map, what this one waits for.
std::string ProgressText(const ScanProgress& progress);

class ScanBatch {
 public:
  // `behind_earlier_batch` when an earlier run's batch is still writing
  // the disk map.
  ScanBatch(std::unique_ptr<StartedProcess> process,
            std::unique_ptr<FolderWatch> watch, bool behind_earlier_batch);

  // What wakes the wait: the watch and the process's end. Empty when the
  // folder cannot be watched: the wait must then look as often as it can.
  std::vector<Waitable> Wakers() const;

  // Takes in what woke the wait; true when the process had ended by now.
  bool TakeInEnded();

  // Asked often (each redraw), it notes when the count last moved.
  ScanProgress Progress();

 private:
  std::unique_ptr<StartedProcess> process_;
  std::unique_ptr<FolderWatch> watch_;
  std::chrono::steady_clock::time_point started_;
  bool behind_earlier_batch_;
  uint64_t last_paths_ = 0;
  std::chrono::steady_clock::time_point last_moved_;
};

}  // namespace trovane

#endif  // TROVANE_SHELL_SCAN_BATCH_H_
