// The search pass, Start's click: the disk map scan records where the
// entries still in FileList lie, the double-check walks the Trovane
// databank and repairs or removes what no longer holds, and the completion
// report ends the run.
#ifndef TROVANE_SEARCH_SEARCH_PASS_H_
#define TROVANE_SEARCH_SEARCH_PASS_H_

#include <string>
#include <string_view>

#include "databank/data.h"
#include "platform/clock.h"
#include "platform/file_system.h"
#include "shell/window.h"

namespace trovane {

class SearchPass {
 public:
  explicit SearchPass(Window& window);

  // The stages in order; never returns, as the report unloads the window.
  [[noreturn]] void Run();

  // Every entry still in FileList whose value ends a path of the disk map
  // is recorded in the Trovane databank and leaves the list.
  void ScanDiskMap();
  // Returns whether any entry had to be removed: the problem flag.
  bool DoubleCheck();
  // Reports, writes the two bookkeeping entries and unloads the window.
  [[noreturn]] void ReportCompletion(bool problems);

 private:
  // Creates what the entry's kind says should be at `path`; true when it
  // is there afterwards. `kind` is upper-case: DSP, CFP or DIR.
  bool Repair(const std::string& kind, const std::string& path);

  Window& window_;
  Data& data_;
  FileSystem& files_;
  Clock& clock_;
};

}  // namespace trovane

#endif  // TROVANE_SEARCH_SEARCH_PASS_H_
