// Which places of a growing row are still taken, counted in a Fenwick tree:
// how many stand before a place, and which place is the n-th still taken,
// are a look at a few counts instead of a walk along the row. The list box
// keeps its items so, and a pass that remembers items by where they first
// stood finds where they stand now.
#ifndef TROVANE_SHELL_TAKEN_PLACES_H_
#define TROVANE_SHELL_TAKEN_PLACES_H_

#include <cstddef>
#include <vector>

namespace trovane {

class TakenPlaces {
 public:
  TakenPlaces() = default;
  // The first `places` places, all taken.
  explicit TakenPlaces(size_t places);

  // Adds a taken place at the end.
  void Take();
  // Frees a taken place; its number is never given out again.
  void Free(size_t place);

  // How many places before `place` are still taken.
  size_t Before(size_t place) const;
  // The place of the taken one with `before` taken ones in front of it;
  // `before` must be less than taken().
  size_t Nth(size_t before) const;

  size_t taken() const { return taken_; }
  size_t places() const { return counts_.size() - 1; }

 private:
  void Add(size_t place, int change);

  std::vector<int> counts_ = std::vector<int>(1);  // 1-based; [0] unused
  size_t taken_ = 0;
};

}  // namespace trovane

#endif  // TROVANE_SHELL_TAKEN_PLACES_H_
