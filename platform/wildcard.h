// File-name patterns with "*" (any run of characters) and "?" (any one
// character), matched without regard to case as file searches always have.
#ifndef TROVANE_PLATFORM_WILDCARD_H_
#define TROVANE_PLATFORM_WILDCARD_H_

#include <string_view>

namespace trovane {

bool HasWildcards(std::string_view name);

// True when `name` fits `pattern`. "*.*" fits every name, dot or not.
bool MatchesWildcard(std::string_view name, std::string_view pattern);

}  // namespace trovane

#endif  // TROVANE_PLATFORM_WILDCARD_H_
