#include "databank/housekeeping.h"

#include "platform/text.h"

namespace trovane {

bool IsHousekeepingKey(std::string_view key) {
  const std::string_view trimmed = TrimBlanks(key);
  return EqualsNoCase(trimmed, kInternalFlagKey) ||
         EqualsNoCase(trimmed, kStampKey);
}

}  // namespace trovane
