#include "platform/text.h"

#include <gtest/gtest.h>

namespace trovane {
namespace {

TEST(TextTest, TrimsSpacesOnly) {
  EXPECT_EQ(TrimBlanks("  a b  "), "a b");
  EXPECT_EQ(TrimBlanks("\ta\t"), "\ta\t");
  EXPECT_EQ(TrimBlanks("    "), "");
}

}  // namespace
}  // namespace trovane
