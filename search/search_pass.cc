#include "search/search_pass.h"

namespace trovane {

SearchPass::SearchPass(Window& window)
    : window_(window),
      data_(window.services().data),
      files_(window.services().files),
      clock_(window.services().clock) {}

void SearchPass::Run() {
  ScanDiskMap();
  ReportCompletion(DoubleCheck());
}

}  // namespace trovane
