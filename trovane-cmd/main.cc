// trovane-cmd FILE: runs the scan batch FILE (a drive-form or Linux path);
// `--help` and `--version` answer without reading any batch.
#include <signal.h>
#include <unistd.h>

#include <cstdio>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/environment.h"
#include "platform/linux/drive_map.h"
#include "platform/listing_count.h"
#include "platform/version.h"
#include "trovane-cmd/interpreter.h"
#include "trovane-cmd/linux/linux_folder_reader.h"
#include "trovane-cmd/linux/pseudo_mounts.h"
#include "trovane-cmd/usage.h"

namespace trovane {
namespace {

// The exit statuses the usage text lists.
enum ExitStatus {
  kRan = 0,  // whatever the commands found: failures went to stderr
  kUnreadable = 1,
  kWrongCommandLine = 2,
  kBadDriveMap = 3,
  kWriteFailed = 4,
};

void Print(std::string_view text, FILE* stream) {
  std::fwrite(text.data(), 1, text.size(), stream);
}

int Main(int argc, char** argv) {
  const std::string_view argument = argc == 2 ? argv[1] : "";
  if (argument == "--help") {
    Print(kCmdUsage, stdout);
    return kRan;
  }
  if (argument == "--version") {
    Print(std::string(kProductName) + " " + std::string(kVersion) + "\n",
          stdout);
    return kRan;
  }
  if (argc != 2 || argument.starts_with("--")) {
    Print(kCmdUsage, stderr);
    return kWrongCommandLine;
  }
  const ProcessEnvironment environment;
  std::string drive_error;
  std::optional<DriveMap> drives =
      DriveMap::FromEnvironment(environment, &drive_error);
  if (!drives) {
    Print(drive_error + "\n", stderr);
    return kBadDriveMap;
  }
  // A closed output is reported as a failed write, not by dying silently.
  signal(SIGPIPE, SIG_IGN);
  Interpreter interpreter(
      std::move(*drives), environment.CurrentFolder(),
      {STDOUT_FILENO, STDERR_FILENO},
      std::make_unique<LinuxFolderReader>(PseudoMounts::OfThisProcess()));
  // The program that started the batch shows how far the listing has got.
  const std::unique_ptr<ListingCount> count =
      ListingCount::Inherited(environment);
  interpreter.ReportListedPaths(count.get());
  switch (interpreter.RunFile(argument)) {
    case Interpreter::Outcome::kRan:
      return kRan;
    case Interpreter::Outcome::kUnreadable:
      Print("Cannot read the batch " + std::string(argument) + "\n", stderr);
      return kUnreadable;
    case Interpreter::Outcome::kWriteFailed:
      return kWriteFailed;
  }
  return kRan;
}

}  // namespace
}  // namespace trovane

int main(int argc, char** argv) { return trovane::Main(argc, argv); }
