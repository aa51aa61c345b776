#include "platform/wildcard.h"

#include "platform/text.h"

namespace trovane {

bool HasWildcards(std::string_view name) {
  return name.find_first_of("*?") != std::string_view::npos;
}

bool MatchesWildcard(std::string_view name, std::string_view pattern) {
  if (pattern == "*.*") return true;
  // Greedy match with one backtrack point: linear in practice and never
  // exponential, whatever the pattern.
  size_t n = 0;
  size_t p = 0;
  size_t star = std::string_view::npos;
  size_t resume = 0;
  while (n < name.size()) {
    if (p < pattern.size() &&
        (pattern[p] == '?' || UpperAscii(pattern[p]) == UpperAscii(name[n]))) {
      ++n;
      ++p;
    } else if (p < pattern.size() && pattern[p] == '*') {
      star = p++;
      resume = n;
    } else if (star != std::string_view::npos) {
      p = star + 1;
      n = ++resume;
    } else {
      return false;
    }
  }
  while (p < pattern.size() && pattern[p] == '*') ++p;
  return p == pattern.size();
}

}  // namespace trovane
