// The two entries every databank carries for itself: the internal flag,
// which says the file is a databank, and TDS, the moment it came into
// being or was last stamped. They are never wanted entries and the
// double-check passes them over.
#ifndef TROVANE_DATABANK_HOUSEKEEPING_H_
#define TROVANE_DATABANK_HOUSEKEEPING_H_

#include <string_view>

namespace trovane {

inline constexpr std::string_view kInternalFlagKey = "INTERNAL FLAG";
inline constexpr std::string_view kInternalFlagValue = "EXISTS!";
inline constexpr std::string_view kStampKey = "TDS";

// True for either key, trimmed and in any case.
bool IsHousekeepingKey(std::string_view key);

}  // namespace trovane

#endif  // TROVANE_DATABANK_HOUSEKEEPING_H_
