// The checks the fuzz targets make. A property that does not hold is named
// on standard error and stops the run at once, so that libFuzzer keeps the
// input that broke it.
#ifndef TROVANE_FUZZ_PROPERTY_H_
#define TROVANE_FUZZ_PROPERTY_H_

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string_view>

namespace trovane::fuzz {

inline void Require(bool holds, const char* property) {
  if (holds) return;
  std::fprintf(stderr, "Property does not hold: %s\n", property);
  std::abort();
}

// True when `part` is a view into `whole`. An empty part holds nothing to
// read and lies anywhere.
inline bool LiesWithin(std::string_view part, std::string_view whole) {
  if (part.empty()) return true;
  const std::less_equal<const char*> at_or_before;
  return at_or_before(whole.data(), part.data()) &&
         at_or_before(part.data() + part.size(), whole.data() + whole.size());
}

inline bool AllBlanks(std::string_view text) {
  return text.find_first_not_of(' ') == std::string_view::npos;
}

// True when `text` starts or ends with a blank.
inline bool HasOuterBlank(std::string_view text) {
  return !text.empty() && (text.front() == ' ' || text.back() == ' ');
}

}  // namespace trovane::fuzz

#endif  // TROVANE_FUZZ_PROPERTY_H_
