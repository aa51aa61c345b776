// Where the lines of a listing go, in listing order: the disk map, or
// whatever stands in for it.
#ifndef TROVANE_TROVANE_CMD_LISTING_SINK_H_
#define TROVANE_TROVANE_CMD_LISTING_SINK_H_

#include <cstdint>
#include <string_view>

namespace trovane {

class ListingSink {
 public:
  virtual ~ListingSink() = default;

  // Takes `lines`, `count` whole lines each ending in CR LF. False once
  // what was taken can no longer all be written: the listing then stops.
  virtual bool Write(std::string_view lines, uint64_t count) = 0;
  // Takes `count` lines of `size` bytes in all without being given them,
  // where the caller can prove the target holds them already where they
  // go (the target's version says it is as the caller left it). False when
  // this sink cannot: the caller then writes them.
  virtual bool PassOverSame(uint64_t /*size*/, uint64_t /*count*/) {
    return false;
  }
};

}  // namespace trovane

#endif  // TROVANE_TROVANE_CMD_LISTING_SINK_H_
