#include "platform/text.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

namespace trovane {

std::string_view TrimBlanks(std::string_view text) {
  const size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const size_t last = text.find_last_not_of(' ');
  return text.substr(first, last - first + 1);
}

std::string UpperAscii(std::string_view text) {
  std::string result(text);
  UpperAsciiInPlace(result);
  return result;
}

uint64_t UpperAsciiWord(uint64_t word) {
  constexpr uint64_t kLowSeven = 0x7F7F7F7F7F7F7F7FULL;
  constexpr uint64_t kHighBits = 0x8080808080808080ULL;
  // A byte's high bit ends up set where it lies in 'a'..'z': at least 'a'
  // (0x61 + 0x1F reaches 0x80) and not above 'z' (0x7A + 0x05 stays below
  // 0x80), and not a byte above 0x7F to begin with. No sum carries into
  // the next byte.
  const uint64_t low = word & kLowSeven;
  const uint64_t from_a = low + 0x1F1F1F1F1F1F1F1FULL;
  const uint64_t past_z = low + 0x0505050505050505ULL;
  const uint64_t lower = from_a & ~past_z & ~word & kHighBits;
  return word ^ (lower >> 2);  // 0x80 >> 2 is the 0x20 between the cases
}

void UpperAsciiInPlace(std::string& text) {
  char* data = text.data();
  const size_t size = text.size();
  size_t i = 0;
  for (; i + 8 <= size; i += 8) {
    uint64_t word;
    std::memcpy(&word, data + i, 8);
    word = UpperAsciiWord(word);
    std::memcpy(data + i, &word, 8);
  }
  for (; i < size; ++i) data[i] = UpperAscii(data[i]);
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return UpperAscii(x) == UpperAscii(y);
         });
}

bool ContainsNoCase(std::string_view haystack, std::string_view needle) {
  if (needle.empty()) return true;
  const auto it = std::search(
      haystack.begin(), haystack.end(), needle.begin(), needle.end(),
      [](char x, char y) { return UpperAscii(x) == UpperAscii(y); });
  return it != haystack.end();
}

bool EndsWithNoCase(std::string_view text, std::string_view tail) {
  return text.size() >= tail.size() &&
         EqualsNoCase(text.substr(text.size() - tail.size()), tail);
}

bool HoldsControlCharacter(std::string_view text) {
  return std::any_of(text.begin(), text.end(), IsControlCharacter);
}

int CompareNamesNoCase(std::string_view a, std::string_view b) {
  const size_t common = std::min(a.size(), b.size());
  for (size_t i = 0; i < common; ++i) {
    const auto x = static_cast<unsigned char>(UpperAscii(a[i]));
    const auto y = static_cast<unsigned char>(UpperAscii(b[i]));
    if (x != y) return x < y ? -1 : 1;
  }
  if (a.size() != b.size()) return a.size() < b.size() ? -1 : 1;
  return a.compare(b) < 0 ? -1 : (a == b ? 0 : 1);
}

}  // namespace trovane
