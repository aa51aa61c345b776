// Starting other programs and ending this one.
#ifndef TROVANE_PLATFORM_PROCESS_H_
#define TROVANE_PLATFORM_PROCESS_H_

#include <memory>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "platform/listing_count.h"

namespace trovane {

// A process started to run on by itself, as its starter sees it afterwards.
class StartedProcess {
 public:
  virtual ~StartedProcess() = default;
  // True once the process has ended.
  virtual bool Ended() = 0;
  // A descriptor that becomes readable when the process ends, for an event
  // loop to wait on; -1 when there is none.
  virtual int EndFd() const = 0;
};

class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;
  // Starts `program` with `arguments` as a process of its own that outlives
  // this one, handing it `count` when one is given; null when it could not
  // be started.
  virtual std::unique_ptr<StartedProcess> StartDetached(
      const std::string& program, const std::vector<std::string>& arguments,
      const ListingCount* count) = 0;
};

// Starts programs in a session of their own with their standard streams on
// /dev/null, never waits for them and leaves no zombie behind.
class DetachedLauncher : public ProcessLauncher {
 public:
  std::unique_ptr<StartedProcess> StartDetached(
      const std::string& program, const std::vector<std::string>& arguments,
      const ListingCount* count) override;
};

// The Linux path of a companion executable: beside the program's own
// executable first, then on PATH. Empty when it is nowhere.
std::string FindCompanion(const std::string& name,
                          const Environment& environment);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_PROCESS_H_
