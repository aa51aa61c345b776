#include "shell/taken_places.h"

#include <bit>

namespace trovane {
namespace {

// The span of places the count at `i` (1-based) covers.
size_t Span(size_t i) { return i & (~i + 1); }

}  // namespace

TakenPlaces::TakenPlaces(size_t places) : counts_(places + 1), taken_(places) {
  // Each count covers its span: built in one sweep, no walk per place.
  for (size_t i = 1; i <= places; ++i) {
    counts_[i] += 1;
    if (const size_t up = i + Span(i); up <= places) counts_[up] += counts_[i];
  }
}

void TakenPlaces::Take() {
  const size_t place = places();
  const size_t i = place + 1;
  // The new count covers the places (i - Span(i), i]: the taken ones among
  // those already there, and itself.
  counts_.push_back(static_cast<int>(Before(place) - Before(i - Span(i)) + 1));
  ++taken_;
}

void TakenPlaces::Free(size_t place) {
  Add(place, -1);
  --taken_;
}

size_t TakenPlaces::Before(size_t place) const {
  size_t taken = 0;
  for (size_t i = place; i > 0; i -= Span(i)) taken += counts_[i];
  return taken;
}

size_t TakenPlaces::Nth(size_t before) const {
  size_t place = 0;  // the places below it hold at most `before` taken ones
  size_t left = before + 1;
  for (size_t step = std::bit_floor(places()); step > 0; step >>= 1) {
    const size_t next = place + step;
    if (next <= places() && static_cast<size_t>(counts_[next]) < left) {
      place = next;
      left -= counts_[next];
    }
  }
  return place;
}

void TakenPlaces::Add(size_t place, int change) {
  for (size_t i = place + 1; i < counts_.size(); i += Span(i)) {
    counts_[i] += change;
  }
}

}  // namespace trovane
