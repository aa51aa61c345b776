// A program the Windows process tests start:
//   windows_test_child count FILE   publishes 42 to the listing count it
//                                   was handed and writes its current
//                                   folder and arguments to FILE
//   windows_test_child console      writes to its standard streams
#include <cstdio>
#include <fstream>
#include <string>
#include <string_view>

#include "platform/console.h"
#include "platform/environment.h"
#include "platform/listing_count.h"

int main(int argc, char** argv) {
  const std::string_view mode = argc > 1 ? argv[1] : "";
  if (mode == "console") {
    trovane::Console& console = trovane::ProcessConsole();
    console.WriteOutput("out\r\nline\n");
    console.WriteError("err\r\n");
    return console.ErrorIsTerminal() ? 1 : 0;
  }
  if (mode != "count" || argc < 3) return 64;
  const trovane::ProcessEnvironment environment;
  const std::unique_ptr<trovane::ListingCount> count =
      trovane::ListingCount::Inherited(environment);
  if (!count) return 3;
  count->Publish(42);
  std::ofstream out(argv[2], std::ios::binary);
  out << environment.CurrentFolder();
  for (int i = 3; i < argc; ++i) out << "|" << argv[i];
  return 0;
}
