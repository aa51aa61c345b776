// The controls' own rules: what a progress bar refuses, the list's order,
// and a timer that never ticks inside its own tick.
#include "shell/controls.h"

#include <gtest/gtest.h>

#include <random>
#include <stdexcept>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "shell/front_end_choice.h"
#include "tests/support/fakes.h"

namespace trovane {
namespace {

TEST(ProgressBarTest, RefusedAssignmentsLeaveTheBarAsItWas) {
  Revision revision;
  ProgressBar bar(revision);
  EXPECT_FALSE(bar.SetMax(0.0F));    // not above the minimum
  EXPECT_FALSE(bar.SetMin(100.0F));  // not below the maximum
  EXPECT_FALSE(bar.SetValue(101.0F));
  EXPECT_FALSE(bar.SetValue(-1.0F));
  EXPECT_EQ(bar.min(), 0.0F);
  EXPECT_EQ(bar.max(), 100.0F);
  EXPECT_EQ(bar.value(), 0.0F);
}

TEST(ProgressBarTest, HoldsValuesFarBeyondTwoToTheThirtyFirst) {
  Revision revision;
  ProgressBar bar(revision);
  ASSERT_TRUE(bar.SetMax(5e9F));
  ASSERT_TRUE(bar.SetValue(2.5e9F));
  EXPECT_DOUBLE_EQ(bar.Fraction(), 0.5);
  EXPECT_GT(revision.value(), 0U);
}

TEST(ProgressBarTest, MovingALimitPastTheValueTakesTheValueAlong) {
  Revision revision;
  ProgressBar bar(revision);
  ASSERT_TRUE(bar.SetMin(1.0F));
  EXPECT_EQ(bar.value(), 1.0F);
  ASSERT_TRUE(bar.SetValue(50.0F));
  ASSERT_TRUE(bar.SetMax(20.0F));
  EXPECT_EQ(bar.value(), 20.0F);
}

TEST(ListBoxTest, KeepsItemsInTheOrderAddedWhateverIsRemovedOrAddedAfter) {
  ListBox list;
  for (const char* item : {"b=2", "a=1", "c=3"}) list.AddItem(item);
  EXPECT_TRUE(list.RemoveItem(1));
  EXPECT_FALSE(list.RemoveItem(2));
  EXPECT_FALSE(list.RemoveItem(-1));
  EXPECT_THROW(list.Item(2), std::out_of_range);
  ASSERT_EQ(list.ListCount(), 2);
  EXPECT_EQ(list.Item(0), "b=2");
  EXPECT_EQ(list.Item(1), "c=3");

  // Against a plain vector, over adds and removals anywhere, empty items
  // and lengths that cross the counts' powers of two.
  std::vector<std::string> model = list.items();
  std::mt19937 random(7);
  for (int step = 0; step < 3000; ++step) {
    if (model.empty() || random() % 3 != 0) {
      const std::string item = step % 50 == 0 ? "" : std::to_string(step);
      list.AddItem(item);
      model.push_back(item);
    } else {
      const int index = static_cast<int>(random() % model.size());
      ASSERT_TRUE(list.RemoveItem(index));
      model.erase(model.begin() + index);
    }
    ASSERT_EQ(list.ListCount(), static_cast<int>(model.size()));
    if (!model.empty()) {
      const int index = static_cast<int>(random() % model.size());
      ASSERT_EQ(list.Item(index), model[index]) << "step " << step;
    }
    if (step % 97 == 0) {
      ASSERT_EQ(list.items(), model) << "step " << step;
    }
  }
  EXPECT_EQ(list.items(), model);
}

TEST(TimerTest, TicksOnlyWhenEnabledAndNeverInsideItsOwnTick) {
  int ticks = 0;
  Timer* self = nullptr;
  Timer timer(std::chrono::milliseconds(1), [&] {
    ++ticks;
    self->Tick();  // as a handler that yields to the event loop would
  });
  self = &timer;
  timer.Tick();
  EXPECT_EQ(ticks, 0);
  std::vector<bool> told;
  timer.SetObserver([&](bool enabled) { told.push_back(enabled); });
  timer.SetEnabled(true);
  timer.Tick();
  EXPECT_EQ(ticks, 1);
  EXPECT_FALSE(timer.ticking());
  timer.SetEnabled(false);
  EXPECT_EQ(told, (std::vector<bool>{true, false}));
}

TEST(FrontEndChoiceTest, DisplayThenTerminalThenQuietUnlessForced) {
  testing::FakeEnvironment environment("/");
  EXPECT_EQ(ChooseFrontEnd(environment, false, true), FrontEndKind::kTerminal);
  EXPECT_EQ(ChooseFrontEnd(environment, false, false), FrontEndKind::kQuiet);
  EXPECT_EQ(ChooseFrontEnd(environment, true, true), FrontEndKind::kWindow);
  environment.Set("TROVANE_UI", "quiet");
  EXPECT_EQ(ChooseFrontEnd(environment, true, true), FrontEndKind::kQuiet);
  environment.Set("TROVANE_UI", "terminal");
  EXPECT_EQ(ChooseFrontEnd(environment, true, false), FrontEndKind::kTerminal);
  environment.Set("TROVANE_UI", "window");
  EXPECT_EQ(ChooseFrontEnd(environment, false, false), FrontEndKind::kWindow);
}

}  // namespace
}  // namespace trovane
