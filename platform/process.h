// Starting the scan batch's interpreter, a program that comes with this
// one, as a process of its own.
#ifndef TROVANE_PLATFORM_PROCESS_H_
#define TROVANE_PLATFORM_PROCESS_H_

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/environment.h"
#include "platform/waitable.h"

namespace trovane {

// A process started to run on by itself, as its starter sees it afterwards.
class StartedProcess {
 public:
  virtual ~StartedProcess() = default;
  // True once the process has ended.
  virtual bool Ended() = 0;
  // Ready once the process has ended; invalid when the system gives
  // nothing to wait on.
  virtual Waitable EndWaker() const = 0;
  // How many paths the process has listed so far, as it tells them through
  // the listing count it was handed.
  virtual uint64_t ListedPaths() const = 0;
};

class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;
  // The path of a program that comes with this one: beside this program's
  // executable first, then on PATH. Empty when it is nowhere.
  virtual std::string FindCompanion(std::string_view name) const = 0;
  // Starts `program` with `arguments` as a process of its own that
  // outlives this one, in the current folder `folder` (drive form; this
  // process's own when it names no folder), its standard error written to
  // the new file `error_file` (drive form; nowhere when empty or when it
  // cannot be made), handing it a listing count (see listing_count.h);
  // null when it could not be started.
  virtual std::unique_ptr<StartedProcess> StartDetached(
      const std::string& program, const std::vector<std::string>& arguments,
      const std::string& folder, const std::string& error_file) = 0;
};

// The launcher of this system. On Linux a started program runs in a
// session of its own with its standard streams on /dev/null, is never
// waited for and leaves no zombie behind.
std::unique_ptr<ProcessLauncher> MakeProcessLauncher(
    const Environment& environment);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_PROCESS_H_
