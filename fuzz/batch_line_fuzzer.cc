// The lines of a scan batch. The input is taken three ways: as a batch line
// of its own; as the folder-list line F of a progress line "Echo Now
// scanning F..."; and, split at its first line feed, as the SPEC and the
// TARGET of a listing line as the program writes it,
// "Dir SPEC /s /b > TARGET" (">>" when the map is being appended to).
#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

#include "fuzz/property.h"
#include "platform/text.h"
#include "trovane-cmd/batch_line.h"

namespace trovane::fuzz {
namespace {

using Command = BatchLine::Command;

// A copy of `text` in a block of its exact size, so that the address
// sanitizer catches a parser that reads past the end of its line.
class ExactCopy {
 public:
  explicit ExactCopy(std::string_view text)
      : bytes_(std::make_unique<char[]>(text.size())), size_(text.size()) {
    text.copy(bytes_.get(), size_);
  }
  std::string_view view() const { return {bytes_.get(), size_}; }

 private:
  std::unique_ptr<char[]> bytes_;
  size_t size_;
};

void CheckAnyLine(std::string_view line) {
  const BatchLine parsed = ParseBatchLine(line);
  Require(LiesWithin(parsed.argument, line) && LiesWithin(parsed.target, line),
          "argument and target point into the line");
  const bool may_redirect =
      parsed.command == Command::kEcho || parsed.command == Command::kDir;
  Require(may_redirect || parsed.redirection == Redirection::kNone,
          "only Echo and Dir redirect");
  Require((parsed.redirection == Redirection::kNone) == parsed.target.empty(),
          "a redirection names a target, and only a redirection does");
  Require(!HasOuterBlank(parsed.target), "a target has no blank at either end");
  if (parsed.command == Command::kDel || parsed.command == Command::kCd) {
    Require(!parsed.argument.empty() && !HasOuterBlank(parsed.argument),
            "Del and Cd take one path without outer blanks");
  }
  // A CR is the rest of a CR LF line end and is dropped; only one is, so
  // this holds for lines that do not end in a CR already.
  if (line.ends_with('\r')) return;
  const std::string with_cr = std::string(line) + "\r";
  const BatchLine same = ParseBatchLine(with_cr);
  Require(same.command == parsed.command && same.argument == parsed.argument &&
              same.redirection == parsed.redirection &&
              same.target == parsed.target,
          "a CR at the end of a line changes nothing");
}

void CheckProgressLine(std::string_view folder) {
  const std::string line = "Echo Now scanning " + std::string(folder) + "...";
  const ExactCopy copy(line);
  const BatchLine parsed = ParseBatchLine(copy.view());
  Require(parsed.command == Command::kEcho &&
              parsed.redirection == Redirection::kNone,
          "a progress line is plain text, whatever its folder holds");
  Require(parsed.argument == copy.view().substr(5),
          "a progress line echoes all of its text");
}

// The switches that close SPEC, in any case and order.
bool HoldsSwitches(std::string_view text) {
  const std::string upper = UpperAscii(text);
  return upper.find(" /S /B") != std::string::npos ||
         upper.find(" /B /S") != std::string::npos;
}

bool HoldsLineBreak(std::string_view text) {
  return text.find_first_of("\r\n") != std::string_view::npos;
}

// SPEC is everything between "Dir " and the last switches that the end of
// the line or a redirection follows, so any SPEC reads back, switches and
// ">" included. TARGET has to keep to what the program writes there (a
// file in the temporary folder): not empty, no blank at either end, no line
// break, and no switches of its own, the blank before it counted, which
// would end SPEC inside TARGET: "Dir X /s /b > T /s /b > U" lists
// "X /s /b > T" into "U", and "Dir X /s /b > /b /s" lists "X /s /b >".
void CheckListingLine(std::string_view spec, std::string_view target) {
  if (HoldsLineBreak(spec) || target.empty() || HasOuterBlank(target) ||
      HoldsLineBreak(target) || HoldsSwitches(" " + std::string(target))) {
    return;
  }
  for (const Redirection redirection :
       {Redirection::kReplace, Redirection::kAppend}) {
    const std::string line =
        "Dir " + std::string(spec) +
        (redirection == Redirection::kAppend ? " /s /b >> " : " /s /b > ") +
        std::string(target);
    const ExactCopy copy(line);
    const BatchLine parsed = ParseBatchLine(copy.view());
    Require(parsed.command == Command::kDir, "a listing line is a Dir line");
    Require(parsed.argument == spec, "a listing line reads back its SPEC");
    Require(parsed.redirection == redirection && parsed.target == target,
            "a listing line reads back its redirection and TARGET");
  }
}

}  // namespace
}  // namespace trovane::fuzz

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  trovane::fuzz::CheckAnyLine(input);
  trovane::fuzz::CheckProgressLine(input);
  const size_t split = input.find('\n');
  if (split != std::string_view::npos) {
    trovane::fuzz::CheckListingLine(input.substr(0, split),
                                    input.substr(split + 1));
  }
  return 0;
}
