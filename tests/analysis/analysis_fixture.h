// The analysis pass's stages on a loaded main window; the scan batch goes
// to a launcher that only records what it was asked to start.
#ifndef TROVANE_TESTS_ANALYSIS_ANALYSIS_FIXTURE_H_
#define TROVANE_TESTS_ANALYSIS_ANALYSIS_FIXTURE_H_

#include "analysis/disk_map_batch.h"
#include "analysis/old_entries.h"
#include "analysis/wanted_entries.h"
#include "tests/support/pass_fixture.h"

namespace trovane::testing {

class AnalysisTest : public PassTest {
 protected:
  int Load() { return LoadWantedEntries(window_); }
  void Check() { CheckOldEntries(window_); }
  void Build(int read_count) { BuildDiskMapBatch(window_, read_count); }

  static constexpr const char* kInterpreter = WindowHarness::kInterpreter;
  RecordingLauncher& launcher_ = harness_.launcher;
};

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_ANALYSIS_ANALYSIS_FIXTURE_H_
