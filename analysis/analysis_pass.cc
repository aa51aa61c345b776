#include "analysis/analysis_pass.h"

#include "analysis/old_entries.h"
#include "analysis/wanted_entries.h"

namespace trovane {

void RunAnalysisPass(Window& window, Data& data, FileSystem& files,
                     Clock& clock, const BatchStarter& starter) {
  const int read_count = LoadWantedEntries(window, files);
  CheckOldEntries(window, data, files, clock);
  BuildDiskMapBatch(window, files, starter, read_count);
}

}  // namespace trovane
