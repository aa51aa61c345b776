// The analysis pass, RightAfterLoad's tick: the wanted entries of
// "\FileList.txt" are loaded into FileList, the Trovane databank is made
// sure of and stamped, every wanted entry whose stored location still holds
// is dropped, and for the rest the scan batch is built and started before
// the batch wait takes over.
#ifndef TROVANE_ANALYSIS_ANALYSIS_PASS_H_
#define TROVANE_ANALYSIS_ANALYSIS_PASS_H_

#include <string>

#include "databank/data.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "shell/window.h"

namespace trovane {

class AnalysisPass {
 public:
  explicit AnalysisPass(Window& window);

  // The stages in order; ends by handing over to the batch wait.
  void Run();

  // Loads the wanted entries into FileList, logging each one. The read
  // count is the number of fields read plus the read that found the end.
  void LoadWantedEntries();
  // Stamps the Trovane databank, drops the entries it still resolves and
  // reports the rest.
  void CheckOldEntries();
  // Builds and starts the scan batch when entries remain, then enables
  // Wait and disables RightAfterLoad.
  void BuildDiskMapBatch();

  int read_count() const { return read_count_; }
  void set_read_count(int read_count) { read_count_ = read_count; }

 private:
  // Tests the wanted entry at `index` against the location the databank
  // holds for it and drops it from FileList when that location still
  // holds.
  void CheckEntry(int index);
  // Shows on P2 how many entries no longer need looking for.
  void ShowResolved();
  // Writes the batch; true when every line of it reached the file.
  bool WriteScanBatch();

  Window& window_;
  Data& data_;
  FileSystem& files_;
  Clock& clock_;
  int read_count_ = 0;
};

}  // namespace trovane

#endif  // TROVANE_ANALYSIS_ANALYSIS_PASS_H_
