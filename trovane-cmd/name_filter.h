// Which entries of each folder a listing shows: all of them, the ones whose
// name equals a plain name, or the ones that fit a wildcard pattern, always
// without regard to case.
#ifndef TROVANE_TROVANE_CMD_NAME_FILTER_H_
#define TROVANE_TROVANE_CMD_NAME_FILTER_H_

#include <string>
#include <string_view>

namespace trovane {

class NameFilter {
 public:
  // Every entry.
  NameFilter() = default;

  // The filter a listing's last component stands for: an empty component,
  // "*" and "*.*" show every entry; a component with "*" or "?" is a
  // pattern; anything else is a plain name.
  static NameFilter ForComponent(std::string_view component);

  bool MatchesAll() const { return kind_ == Kind::kAll; }
  bool Matches(std::string_view name) const;
  // Equal for two filters built from the same text: two listings whose
  // filters have the same key show the same entries of a folder.
  std::string Key() const;

 private:
  enum class Kind { kAll, kPlainName, kPattern };

  NameFilter(Kind kind, std::string_view text) : kind_(kind), text_(text) {}

  Kind kind_ = Kind::kAll;
  std::string text_;
};

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_NAME_FILTER_H_
