// EnsureDatabank: a databank exists and carries its two housekeeping
// entries, the internal flag and the time stamp.
#include <string>

#include "databank/data.h"
#include "databank/housekeeping.h"
#include "platform/time_text.h"

namespace trovane {

void Data::EnsureDatabank(std::string_view name) {
  const std::string path = ResolveDatabankPath(name);
  if (files_.Probe(path).empty()) {
    // A new databank is written aside and then linked into place, which
    // fails if anything of that name appeared meanwhile: a databank that
    // another process has just created is never replaced by an empty one.
    const SwapAllocation swap = TakeSwap(name, /*report=*/false);
    const std::string staging = StagingPath(path);
    std::unique_ptr<OutputFile> file =
        files_.OpenForWriting(staging, {.refuse_link = true});
    if (file) {
      const ClockReading now = clock_.Now();
      file->WriteLine(std::string(kInternalFlagKey) + " = " +
                      std::string(kInternalFlagValue));
      file->WriteLine(std::string(kStampKey) + " = " + TimeText(now.time) +
                      " " + DateText(now.time));
      if (file->Close()) files_.Link(staging, path);
    }
    files_.Delete(staging);
    return;
  }
  if (Query(name, kStampKey).empty()) {
    const std::optional<LocalTime> modified = files_.LastModified(path);
    if (modified) Set(name, kStampKey, DateTimeText(*modified));
  }
  if (Query(name, kInternalFlagKey) != kInternalFlagValue) {
    Set(name, kInternalFlagKey, kInternalFlagValue);
  }
}

}  // namespace trovane
