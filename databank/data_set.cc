// Set and its swap file.
//
// A databank is never rewritten in place: the new content is built in a
// staging file beside it and then takes its name in one rename, so that a
// reader, or the next run after a crash, finds the old content or the new
// one, whole. The swap file in the temporary folder is the lock that keeps
// two processes from rewriting one databank at the same time.
#include <chrono>
#include <string>

#include "databank/data.h"
#include "platform/text.h"

namespace trovane {
namespace {

// How long a process waits between two looks at a swap file that another
// living process holds.
constexpr std::chrono::milliseconds kSwapRetry{25};

std::string ToText(int number) { return std::to_string(number); }

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

std::string StagingPath(std::string_view path) {
  const size_t last = path.rfind('\\');
  const size_t name_start = last == std::string_view::npos ? 0 : last + 1;
  std::string staging(path.substr(0, name_start));
  staging += ".";
  staging += path.substr(name_start);
  staging += ".trovane-new";
  return staging;
}

std::string Data::SwapPath(std::string_view name) {
  return temporary_folder_ + "\\DSP." + SwapBase(name) + "." +
         files_.Probe(name) + ".TMP";
}

SwapAllocation Data::TakeSwap(std::string_view name, bool report) {
  if (temporary_folder_.empty()) OpenDatabankAccess();
  SwapAllocation swap;
  for (;;) {
    swap.path = SwapPath(name);
    for (;;) {
      SwapClaim claim = files_.ClaimSwap(swap.path);
      if (claim.outcome == SwapClaim::Outcome::kTaken) {
        swap.lock = std::move(claim.lock);
        break;
      }
      if (claim.outcome == SwapClaim::Outcome::kUnavailable) break;
      if (report) Report("!!! Swap conflict [" + swap.path + "]");
      if (claim.outcome == SwapClaim::Outcome::kHeldByLiveProcess) {
        clock_.Sleep(kSwapRetry);
      }
    }
    // The name carries the databank's file name, which appears when the
    // databank is created: a lock taken under the old name is no lock.
    if (!swap.lock || SwapPath(name) == swap.path) return swap;
    swap.lock.reset();
  }
}

SwapAllocation Data::AllocateSwap(std::string_view name) {
  SwapAllocation swap = TakeSwap(name, /*report=*/true);
  Report("Database [" + std::string(name) + "] ==>> allocated swap [" +
         swap.path + "]");
  return swap;
}

void Data::Set(std::string_view name, std::string_view key,
               std::string_view value) {
  if (TrimBlanks(name).empty() || TrimBlanks(key).empty()) return;
  const std::string path = ResolveDatabankPath(name);
  SwapAllocation swap = AllocateSwap(name);
  const std::string staging = StagingPath(path);
  files_.Delete(staging);  // left by a rewrite that died

  const OpenOptions private_file{.refuse_link = true};
  const std::string upper_key = UpperAscii(TrimBlanks(key));
  int serial_new = 0;
  int serial_old = 0;
  int serial_append = 0;
  bool found = false;
  bool complete = true;
  const bool existed = files_.IsFile(path);
  if (existed) {
    std::unique_ptr<OutputFile> rewritten =
        files_.OpenForWriting(staging, private_file);
    std::unique_ptr<InputFile> old = files_.OpenForReading(path, {});
    if (rewritten) serial_new = rewritten->number();
    if (old) serial_old = old->number();
    if (rewritten && old) {
      std::string line;
      while (old->ReadLine(&line)) {
        switch (FateOnRewrite(line, upper_key)) {
          case LineFate::kKeep:
            rewritten->WriteLine(line);
            break;
          case LineFate::kDropReplaced:
            found = true;
            break;
          case LineFate::kDrop:
            break;
        }
      }
    }
    complete = rewritten && old && rewritten->Close();
  }
  if (!value.empty()) {
    std::unique_ptr<OutputFile> appended =
        existed ? files_.OpenForAppending(staging, private_file)
                : files_.OpenForWriting(staging, private_file);
    if (appended) {
      serial_append = appended->number();
      appended->WriteLine(std::string(TrimBlanks(key)) + "=" +
                          std::string(TrimBlanks(value)));
      complete = appended->Close() && complete;
    } else {
      complete = false;
    }
  }
  const bool rewrite = existed || !value.empty();
  if (!rewrite || !complete || !files_.Rename(staging, path)) {
    files_.Delete(staging);
  }
  swap.lock.reset();  // deletes the swap file

  Report("Database " + std::string(name) + " serial " + ToText(serial_new) +
         " Set [" + std::string(key) + "], [" + std::string(value) + "]");
  Report("Swap serial " + ToText(serial_old) + " Set");
  if (value.empty()) {
    Report(found ? " Blank entry ==>> Property removed from databank"
                 : " Blank entry ==>> Property not found in databank!!");
    return;
  }
  if (!found) {
    Report(" Append/Replace serial " + ToText(serial_append) + " Set");
  }
  if (serial_append != 0) {
    Report((found ? " Replace serial " : " Append serial ") +
           ToText(serial_append) + " Set");
  }
}

}  // namespace trovane
