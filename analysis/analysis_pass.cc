#include "analysis/analysis_pass.h"

namespace trovane {

AnalysisPass::AnalysisPass(Window& window)
    : window_(window),
      data_(window.services().data),
      files_(window.services().files),
      clock_(window.services().clock) {}

void AnalysisPass::Run() {
  LoadWantedEntries();
  CheckOldEntries();
  BuildDiskMapBatch();
}

void AnalysisPass::ShowResolved() {
  ProgressBar& p2 = window_.P2();
  p2.SetValue(p2.max() - static_cast<float>(window_.FileList().ListCount()));
}

}  // namespace trovane
