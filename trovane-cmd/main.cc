// trovane-cmd FILE: runs the scan batch FILE (a drive-form or Linux path);
// `--help` and `--version` answer without reading any batch.
#include <memory>
#include <string>
#include <string_view>
#include <variant>

#include "platform/console.h"
#include "platform/environment.h"
#include "platform/file_system.h"
#include "platform/listing_count.h"
#include "platform/version.h"
#include "trovane-cmd/interpreter.h"
#include "trovane-cmd/system_folder_reader.h"
#include "trovane-cmd/system_index_files.h"
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

int Main(int argc, char** argv) {
  // Made first, so that a closed standard output is a failed write from
  // the start, never the end of the process.
  Console& console = ProcessConsole();
  const std::string_view argument = argc == 2 ? argv[1] : "";
  if (argument == "--help") {
    console.WriteOutput(kCmdUsage);
    return kRan;
  }
  if (argument == "--version") {
    console.WriteOutput(std::string(kProductName) + " " +
                        std::string(kVersion) + "\n");
    return kRan;
  }
  if (argc != 2 || argument.starts_with("--")) {
    console.WriteError(kCmdUsage);
    return kWrongCommandLine;
  }
  const ProcessEnvironment environment;
  std::variant<std::unique_ptr<FileSystem>, std::string> disk =
      OpenLocalDisk(environment);
  if (const std::string* problem = std::get_if<std::string>(&disk)) {
    console.WriteError(*problem + "\n");
    return kBadDriveMap;
  }
  FileSystem& files = *std::get<std::unique_ptr<FileSystem>>(disk);
  Interpreter interpreter(files, environment, console,
                          MakeSystemFolderReader(environment),
                          MakeSystemIndexFiles(environment));
  // The program that started the batch shows how far the listing has got.
  const std::unique_ptr<ListingCount> count =
      ListingCount::Inherited(environment);
  interpreter.ReportListedPaths(count.get());
  switch (interpreter.RunFile(argument)) {
    case Interpreter::Outcome::kRan:
      return kRan;
    case Interpreter::Outcome::kUnreadable:
      console.WriteError("Cannot read the batch " + std::string(argument) +
                         "\n");
      return kUnreadable;
    case Interpreter::Outcome::kWriteFailed:
      return kWriteFailed;
  }
  return kRan;
}

}  // namespace
}  // namespace trovane

int main(int argc, char** argv) { return trovane::Main(argc, argv); }
