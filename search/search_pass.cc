#include "search/search_pass.h"

#include "search/completion_report.h"
#include "search/disk_map_scan.h"
#include "search/double_check.h"

namespace trovane {

void RunSearchPass(Window& window, Data& data, FileSystem& files,
                   Clock& clock) {
  ScanDiskMap(window, data, files, clock);
  const bool problems = DoubleCheck(window, data, files);
  ReportCompletion(window, data, problems);
}

}  // namespace trovane
