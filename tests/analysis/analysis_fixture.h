// The analysis pass's stages on a loaded main window; the scan batch goes
// to a launcher that only records what it was asked to start.
#ifndef TROVANE_TESTS_ANALYSIS_ANALYSIS_FIXTURE_H_
#define TROVANE_TESTS_ANALYSIS_ANALYSIS_FIXTURE_H_

#include "analysis/analysis_pass.h"
#include "analysis/disk_map_batch.h"
#include "tests/support/pass_fixture.h"

namespace trovane::testing {

class AnalysisTest : public PassTest {
 protected:
  int Load() {
    pass_.LoadWantedEntries();
    return pass_.read_count();
  }
  void Check() { pass_.CheckOldEntries(); }
  void Build(int read_count) {
    pass_.set_read_count(read_count);
    pass_.BuildDiskMapBatch();
  }

  static constexpr const char* kInterpreter = WindowHarness::kInterpreter;
  RecordingLauncher& launcher_ = harness_.launcher;
  AnalysisPass pass_{window_};
};

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_ANALYSIS_ANALYSIS_FIXTURE_H_
