// Set, and the locks a rewrite takes.
#include <string>

#include "databank/data.h"
#include "databank/lock_wait.h"
#include "databank/rewrite.h"
#include "platform/text.h"

namespace trovane {
namespace {

using Outcome = LockClaim::Outcome;

// The last folder of a databank name: the base of its swap file's name.
std::string SwapBase(std::string_view name) {
  if (name == kTrovaneDatabank) return "Root";
  const size_t last = name.rfind('\\');
  if (last == std::string_view::npos) return "Root";
  const std::string_view folder = name.substr(0, last);
  const size_t before = folder.rfind('\\');
  const std::string_view base =
      before == std::string_view::npos ? folder : folder.substr(before + 1);
  return base.empty() ? "Root" : std::string(base);
}

}  // namespace

std::string Data::SwapPath(std::string_view name) {
  return temporary_folder_ + "\\DSP." + SwapBase(name) + "." +
         files_.Probe(name) + ".TMP";
}

DatabankLocks Data::TakeLocks(std::string_view name, bool report) {
  if (temporary_folder_.empty()) OpenDatabankAccess();
  // A databank that is a link is rewritten where the link leads, and it is
  // that folder whose lock counts; one that leads where it may not be
  // followed is not written at all.
  const std::optional<std::string> file =
      files_.LinkTarget(ResolveDatabankPath(name));
  if (!file) {
    DatabankLocks none;
    none.swap_path = SwapPath(name);
    return none;
  }
  LockWait wait(clock_, wait_handler_);
  bool removed_stale = false;
  for (;;) {
    DatabankLocks locks;
    locks.swap_path = SwapPath(name);
    LockClaim swap = files_.ClaimSwap(locks.swap_path);
    if (swap.outcome == Outcome::kLeftByDeadProcess ||
        swap.outcome == Outcome::kHeldByLiveProcess) {
      if (report) Report("!!! Swap conflict [" + locks.swap_path + "]");
      // A stale swap file that comes back at once is somebody's doing, and
      // waited for like a living holder.
      const bool pause =
          swap.outcome == Outcome::kHeldByLiveProcess || removed_stale;
      removed_stale = removed_stale || !pause;
      if (pause && !wait.Pause()) return locks;
      continue;
    }
    locks.swap = std::move(swap.lock);
    // The name carries the databank's file name, which appears when the
    // databank is created: a swap file taken under the old name is none.
    if (locks.swap && SwapPath(name) != locks.swap_path) continue;
    LockClaim folder = files_.ClaimFolderLock(*file);
    if (folder.outcome == Outcome::kHeldByLiveProcess) {
      // A run with another temporary folder is rewriting it: the same
      // conflict, seen through the lock every run takes.
      if (report) Report("!!! Swap conflict [" + locks.swap_path + "]");
      if (!wait.Pause()) {
        locks.swap.reset();
        return locks;
      }
      continue;
    }
    locks.folder = std::move(folder.lock);
    locks.file = *file;
    return locks;
  }
}

DatabankLocks Data::AllocateSwap(std::string_view name) {
  DatabankLocks locks = TakeLocks(name, /*report=*/true);
  Report("Database [" + std::string(name) + "] ==>> allocated swap [" +
         locks.swap_path + "]");
  return locks;
}

bool Data::Set(std::string_view name, std::string_view key,
               std::string_view value) {
  if (TrimBlanks(name).empty() || TrimBlanks(key).empty()) return false;
  DatabankLocks locks = AllocateSwap(name);
  SetOutcome outcome;
  if (locks.held()) {
    outcome = Write(locks.file, key, value);
    if (outcome.written) written_.insert(locks.file);
  }
  locks = DatabankLocks();  // lets go: the swap file goes too

  Report("Database " + std::string(name) + " serial " +
         std::to_string(outcome.rewritten_serial) + " Set [" +
         std::string(key) + "], [" + std::string(value) + "]");
  Report("Swap serial " + std::to_string(outcome.old_serial) + " Set");
  // What did not happen is never logged as done.
  if (value.empty()) {
    if (outcome.found) {
      Report(outcome.written
                 ? " Blank entry ==>> Property removed from databank"
                 : " Blank entry ==>> Property could not be removed from "
                   "databank!!");
      return outcome.written;
    }
    Report(outcome.read_whole
               ? " Blank entry ==>> Property not found in databank!!"
               : " Blank entry ==>> Databank could not be read!!");
    return outcome.read_whole;
  }
  if (!outcome.found) {
    Report(" Append/Replace serial " + std::to_string(outcome.appended_serial) +
           " Set");
  }
  if (!outcome.written) {
    Report(" Append/Replace ==>> Property could not be written to databank!!");
  } else if (outcome.appended_serial != 0) {
    Report((outcome.found ? " Replace serial " : " Append serial ") +
           std::to_string(outcome.appended_serial) + " Set");
  }
  return outcome.written;
}

SetOutcome Data::Write(const std::string& file, std::string_view key,
                       std::string_view value) {
  if (!value.empty()) {
    const std::string upper_key = UpperAscii(TrimBlanks(key));
    const std::string line = EntryLine(key, value);
    FileStatus before;
    DatabankLines* lines = CachedLines(file, &before);
    // The new line itself must be one a later rewrite keeps as it is.
    if (lines != nullptr && lines->appendable() && !lines->FirstOf(upper_key) &&
        FateOnRewrite(line, {}) == LineFate::kKeep) {
      const SetOutcome outcome =
          AppendToDatabank(files_, numbers_, file, before.length, key, value);
      const std::optional<FileStatus> after = files_.Status(file);
      if (outcome.written && after) {
        lines->Append(line);
        cache_.Update(file, after->version);
      } else {
        cache_.Forget(file);
      }
      return outcome;
    }
  }
  cache_.Forget(file);
  return RewriteDatabank(files_, file, key, value);
}

void Data::SyncWritten() {
  for (const std::string& file : written_) {
    if (!files_.IsFile(file)) continue;
    std::unique_ptr<OutputFile> synced =
        files_.OpenForAppending(file, {.refuse_link = true});
    if (synced) synced->Sync();
    files_.SyncFolderOf(file);
  }
  written_.clear();
}

}  // namespace trovane
