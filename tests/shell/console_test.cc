// The front ends without a window: what they write, and their timers.
#include <gmock/gmock.h>

#include "shell/console_front_end.h"
#include "tests/support/fakes.h"
#include "tests/support/window_harness.h"

namespace trovane::testing {
namespace {

TEST(ConsoleFrontEndTest, QuietShowsNothingButTheMessagesAndTheSummary) {
  FunctionPasses passes;
  WindowHarness harness(passes);
  FakeConsole console;
  ConsoleFrontEnd quiet(ConsoleFrontEnd::Mode::kQuiet, console);
  harness.window.Form_Load();
  quiet.Show(harness.window);
  harness.window.DoingWhat().SetCaption("Currently scanning:");
  quiet.ProcessPendingEvents();
  quiet.Close();
  EXPECT_EQ(FakeConsole::Take(console.error), "");
  quiet.MessageBox("Problems encountered...", "Some text.");
  EXPECT_EQ(FakeConsole::Take(console.error),
            "Problems encountered...\nSome text.\n");
  EXPECT_EQ(console.enter_waits, 0);
  quiet.ReportFailure("The batch ended.");
  EXPECT_EQ(FakeConsole::Take(console.error), "The batch ended.\n");
  quiet.ShowSummary("Trovane Setup: 0 of 0 wanted entries found.");
  EXPECT_EQ(console.output, "Trovane Setup: 0 of 0 wanted entries found.\n");
}

TEST(ConsoleFrontEndTest, TerminalDrawsInPlaceAndGivesTheCursorBack) {
  FunctionPasses passes;
  WindowHarness harness(passes);
  FakeConsole console;
  console.terminal = true;
  console.columns = 41;
  ConsoleFrontEnd terminal(ConsoleFrontEnd::Mode::kTerminal, console);
  harness.window.Form_Load();
  terminal.Show(harness.window);
  const std::string first = FakeConsole::Take(console.error);
  EXPECT_THAT(first, ::testing::HasSubstr("Loading..."));
  EXPECT_THAT(first, ::testing::HasSubstr("\x1b[?25l"));
  // One column short of the terminal's width.
  EXPECT_THAT(first,
              ::testing::HasSubstr("P1 [............................]   0%\n"));

  harness.window.DoingWhat().SetCaption("Currently scanning:");
  terminal.Close();
  const std::string last = FakeConsole::Take(console.error);
  EXPECT_THAT(last, ::testing::HasSubstr("\x1b[4F"));  // back over 4 lines
  EXPECT_THAT(last, ::testing::HasSubstr("Currently scanning:"));
  EXPECT_THAT(last, ::testing::EndsWith("\x1b[?25h"));

  // The box waits for Enter, the cursor shown meanwhile.
  terminal.MessageBox("Title", "Text");
  EXPECT_THAT(FakeConsole::Take(console.error),
              ::testing::HasSubstr("\nTitle\nText\nPress Enter to continue."
                                   "\x1b[?25h\n"));
  EXPECT_EQ(console.enter_waits, 1);
}

TEST(StatusLinesTest, ShowsCaptionsAndBarsWithinTheWidth) {
  FunctionPasses passes;
  WindowHarness harness(passes);
  Window& window = harness.window;
  window.DoingWhat().SetCaption("Currently scanning:");
  window.Filename().SetCaption("C:\\A\x1b[2Jname");
  ASSERT_TRUE(window.P1().SetValue(50.0F));
  const std::vector<std::string> lines = StatusLines(window, 40);
  ASSERT_EQ(lines.size(), 4U);
  EXPECT_EQ(lines[0], "Currently scanning:");
  EXPECT_EQ(lines[1], "  C:\\A?[2Jname");  // no escape reaches the screen
  EXPECT_EQ(lines[2], "P1 [##############..............]  50%");
  EXPECT_EQ(lines[3], "P2 [............................]   0%");
  for (const std::string& line : lines) EXPECT_LE(line.size(), 40U);

  // While the batch lists the disk and no file name is shown.
  window.Filename().SetCaption("");
  window.StartScanBatch("C:\\Run\\Map.Bat");
  window.Wait().SetEnabled(true);
  EXPECT_EQ(StatusLines(window, 40)[1], "  0 paths listed in 0:00");
}

TEST(TimerScheduleTest, TicksAnEnabledTimerOnceItIsDue) {
  int ticks = 0;
  Timer timer(std::chrono::milliseconds(1), [&] { ++ticks; });
  TimerSchedule schedule;
  schedule.Watch(timer);
  EXPECT_FALSE(schedule.NextDue().has_value());
  timer.SetEnabled(true);
  ASSERT_TRUE(schedule.NextDue().has_value());
  const auto due = *schedule.NextDue();
  schedule.TickDue(due - std::chrono::microseconds(500));
  EXPECT_EQ(ticks, 0);
  schedule.TickDue(due);
  EXPECT_EQ(ticks, 1);
  timer.SetEnabled(false);
  schedule.TickDue(due + std::chrono::seconds(1));
  EXPECT_EQ(ticks, 1);

  // A timer with a waker ticks as soon as it wakes.
  timer.SetWakers({Waitable(7)}, std::chrono::milliseconds(250));
  timer.SetEnabled(true);
  ASSERT_EQ(schedule.Wakers().size(), 1U);
  EXPECT_EQ(schedule.Wakers()[0].waitable.native(), 7);
  schedule.Wake(schedule.Wakers()[0].timer);
  schedule.TickDue(TimerSchedule::Clock::now());
  EXPECT_EQ(ticks, 2);
}

}  // namespace
}  // namespace trovane::testing
