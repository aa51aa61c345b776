// The search pass's stages on a loaded main window.
#ifndef TROVANE_TESTS_SEARCH_SEARCH_FIXTURE_H_
#define TROVANE_TESTS_SEARCH_SEARCH_FIXTURE_H_

#include <string>
#include <string_view>

#include "search/completion_report.h"
#include "search/disk_map_scan.h"
#include "search/double_check.h"
#include "tests/support/pass_fixture.h"

namespace trovane::testing {

class SearchTest : public PassTest {
 protected:
  void Scan() { ScanDiskMap(window_); }
  bool Check() { return DoubleCheck(window_); }
  // The value the Trovane databank holds for `key`.
  std::string Value(std::string_view key) {
    return harness_.data.Query(kTrovaneDatabank, key);
  }
};

}  // namespace trovane::testing

#endif  // TROVANE_TESTS_SEARCH_SEARCH_FIXTURE_H_
