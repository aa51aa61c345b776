// Starting other programs and ending this one.
#ifndef TROVANE_PLATFORM_PROCESS_H_
#define TROVANE_PLATFORM_PROCESS_H_

#include <string>
#include <vector>

#include "platform/environment.h"

namespace trovane {

class ProcessLauncher {
 public:
  virtual ~ProcessLauncher() = default;
  // Starts `program` with `arguments` as a process of its own that outlives
  // this one; true when it was started.
  virtual bool StartDetached(const std::string& program,
                             const std::vector<std::string>& arguments) = 0;
};

// Starts programs in a session of their own with their standard streams on
// /dev/null, never waits for them and leaves no zombie behind.
class DetachedLauncher : public ProcessLauncher {
 public:
  bool StartDetached(const std::string& program,
                     const std::vector<std::string>& arguments) override;
};

// The Linux path of a companion executable: beside the program's own
// executable first, then on PATH. Empty when it is nowhere.
std::string FindCompanion(const std::string& name,
                          const Environment& environment);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_PROCESS_H_
