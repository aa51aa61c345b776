#include "databank/entry_line.h"

#include <gtest/gtest.h>

namespace trovane {
namespace {

TEST(EntryLineTest, KeyIsTrimmedTextBeforeFirstEquals) {
  EXPECT_EQ(EntryKey("  Key = a=b"), "Key");
  EXPECT_FALSE(EntryKey("no equals").has_value());
}

}  // namespace
}  // namespace trovane
