#include "trovane-setup/command_line.h"

#include <string_view>

namespace trovane {

CommandLine ParseCommandLine(std::span<const char* const> arguments) {
  // An unknown option is named before anything is said about the count, so
  // that "-x FOLDER" is reported for the option it holds.
  for (const std::string_view argument : arguments) {
    if (argument.starts_with('-') && argument != "--help" &&
        argument != "--version") {
      return {.request = CommandLine::Request::kWrong,
              .problem = "unknown option " + std::string(argument)};
    }
  }
  if (arguments.size() > 1) {
    return {.request = CommandLine::Request::kWrong,
            .problem = "one argument at most"};
  }
  if (arguments.empty()) return {};
  const std::string_view argument = arguments.front();
  if (argument == "--help") return {.request = CommandLine::Request::kShowHelp};
  if (argument == "--version") {
    return {.request = CommandLine::Request::kShowVersion};
  }
  // An empty FOLDER would quietly mean the current folder.
  if (argument.empty()) {
    return {.request = CommandLine::Request::kWrong,
            .problem = "FOLDER is empty"};
  }
  return {.folder = std::string(argument)};
}

}  // namespace trovane
