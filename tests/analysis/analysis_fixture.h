// The analysis pass's stages on a loaded main window; the scan batch goes
// to a launcher that only records what it was asked to start.
#ifndef TROVANE_TESTS_ANALYSIS_ANALYSIS_FIXTURE_H_
#define TROVANE_TESTS_ANALYSIS_ANALYSIS_FIXTURE_H_

#include <string>
#include <vector>

#include "analysis/analysis_pass.h"
#include "analysis/disk_map_batch.h"
#include "analysis/old_entries.h"
#include "analysis/wanted_entries.h"
#include "platform/process.h"
#include "tests/support/pass_fixture.h"

namespace trovane::testing {

class RecordingLauncher : public ProcessLauncher {
 public:
  struct Started {
    std::string program;
    std::vector<std::string> arguments;
  };
  bool StartDetached(const std::string& program,
                     const std::vector<std::string>& arguments) override {
    started.push_back({program, arguments});
    return true;
  }
  std::vector<Started> started;
};

class AnalysisTest : public PassTest {
 protected:
  static constexpr char kInterpreter[] = "/opt/vek/bin/trovane-cmd";

  int Load() { return LoadWantedEntries(window_, harness_.files); }
  void Check() {
    CheckOldEntries(window_, harness_.data, harness_.files, harness_.clock);
  }
  void Build(int read_count) {
    BuildDiskMapBatch(window_, harness_.files, starter_, read_count);
  }

  RecordingLauncher launcher_;
  BatchStarter starter_{kInterpreter, launcher_};
};

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_ANALYSIS_ANALYSIS_FIXTURE_H_
