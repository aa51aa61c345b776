#include "platform/drive_name.h"

#include <array>

namespace trovane {
namespace {

std::array<bool, 256> MakeUnfitBytes() {
  std::array<bool, 256> unfit{};
  for (int c = 0; c < 0x20; ++c) unfit[c] = true;
  unfit[0x7f] = true;
  for (const unsigned char c : std::string_view("\\/:*?\"<>|")) {
    unfit[c] = true;
  }
  return unfit;
}
const std::array<bool, 256> kUnfit = MakeUnfitBytes();

}  // namespace

bool HasDriveForm(std::string_view name) {
  if (name.empty() || name.back() == ' ' || name.back() == '.') {
    return false;
  }
  for (const char c : name) {
    if (kUnfit[static_cast<unsigned char>(c)]) return false;
  }
  return true;
}

}  // namespace trovane
