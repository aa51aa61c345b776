#include "trovane-cmd/name_filter.h"

#include "platform/text.h"
#include "platform/wildcard.h"

namespace trovane {

NameFilter NameFilter::ForComponent(std::string_view component) {
  if (component.empty() || component == "*" || component == "*.*") {
    return NameFilter();
  }
  if (HasWildcards(component)) {
    return NameFilter(Kind::kPattern, component);
  }
  return NameFilter(Kind::kPlainName, component);
}

bool NameFilter::Matches(std::string_view name) const {
  switch (kind_) {
    case Kind::kAll:
      return true;
    case Kind::kPlainName:
      return EqualsNoCase(name, text_);
    case Kind::kPattern:
      return MatchesWildcard(name, text_);
  }
  return false;
}

std::string NameFilter::Key() const {
  return static_cast<char>('0' + static_cast<int>(kind_)) + text_;
}

}  // namespace trovane
