// EnsureDatabank: a databank exists and carries its two housekeeping
// entries, the internal flag and the time stamp.
#include <string>

#include "databank/data.h"
#include "databank/housekeeping.h"
#include "databank/rewrite.h"
#include "platform/time_text.h"

namespace trovane {
namespace {

// Writes a new databank's two lines into a staging file, then links it
// into place, which fails if anything of that name appeared meanwhile: a
// databank another process has just made is never replaced by an empty
// one.
void Create(FileSystem& files, const std::string& path, const LocalTime& now) {
  const std::string staging = StagingPath(path);
  files.Delete(staging);  // left by a creation that died
  const std::string flag =
      std::string(kInternalFlagKey) + " = " + std::string(kInternalFlagValue);
  const std::string stamp =
      std::string(kStampKey) + " = " + TimeText(now) + " " + DateText(now);
  if (files.WriteLines(staging, WriteMode::kCreateNew, {.refuse_link = true},
                       {flag, stamp})) {
    files.Link(staging, path);
  }
  files.Delete(staging);
}

}  // namespace

void Data::EnsureDatabank(std::string_view name) {
  const std::string path = ResolveDatabankPath(name);
  if (files_.Probe(path).empty()) {
    const DatabankLocks locks = TakeLocks(name, /*report=*/false);
    // Made at its own name, never through a link: a link left dangling
    // there could lead anywhere.
    if (locks.held()) {
      Create(files_, path, clock_.Now().time);
      written_.insert(path);
    }
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
