// Where the window can show on Linux: a display that either variable names.
#include "platform/display.h"

#include <gtest/gtest.h>

#include "tests/support/fakes.h"

namespace trovane {
namespace {

TEST(DisplayTest, EitherVariableNamesADisplayUnlessEmpty) {
  testing::FakeEnvironment environment("/");
  EXPECT_FALSE(DisplayAvailable(environment));
  environment.Set("DISPLAY", "");
  EXPECT_FALSE(DisplayAvailable(environment));
  environment.Set("WAYLAND_DISPLAY", "wayland-0");
  EXPECT_TRUE(DisplayAvailable(environment));
  environment.Set("WAYLAND_DISPLAY", "");
  environment.Set("DISPLAY", ":0");
  EXPECT_TRUE(DisplayAvailable(environment));
}

}  // namespace
}  // namespace trovane
