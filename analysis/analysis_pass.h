// The analysis pass, RightAfterLoad's tick: the wanted entries are loaded,
// the old entries checked, and the scan batch built and started.
#ifndef TROVANE_ANALYSIS_ANALYSIS_PASS_H_
#define TROVANE_ANALYSIS_ANALYSIS_PASS_H_

#include "analysis/disk_map_batch.h"
#include "databank/data.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "shell/window.h"

namespace trovane {

void RunAnalysisPass(Window& window, Data& data, FileSystem& files,
                     Clock& clock, const BatchStarter& starter);

}  // namespace trovane

#endif  // TROVANE_ANALYSIS_ANALYSIS_PASS_H_
