// The main of a fuzz target outside the fuzz build: runs the target once on
// every file in the folders it is given, so that ctest checks each seed
// corpus, findings included, in every build.
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

int main(int argc, char** argv) {
  int inputs = 0;
  for (int i = 1; i < argc; ++i) {
    for (const auto& entry : std::filesystem::directory_iterator(argv[i])) {
      std::ifstream in(entry.path(), std::ios::binary);
      const std::string bytes(std::istreambuf_iterator<char>(in), {});
      // A copy of the exact size, so that a sanitizer catches a read past
      // the end as it would in the fuzz build.
      const auto data = std::make_unique<uint8_t[]>(bytes.size());
      std::memcpy(data.get(), bytes.data(), bytes.size());
      LLVMFuzzerTestOneInput(data.get(), bytes.size());
      ++inputs;
    }
  }
  std::printf("%d inputs ran\n", inputs);
  return inputs > 0 ? 0 : 1;
}
