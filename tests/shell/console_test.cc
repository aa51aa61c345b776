// The front ends without a window: what they write, and their timers.
#include <gmock/gmock.h>

#include "shell/console_front_end.h"
#include "tests/support/fakes.h"
#include "tests/support/window_harness.h"

namespace trovane::testing {
namespace {

RunSummary SummaryOf(std::vector<std::string> lines,
                     std::vector<std::string> details) {
  RunSummary summary;
  summary.outcome = RunOutcome::kClean;
  summary.lines = std::move(lines);
  summary.details = std::move(details);
  return summary;
}

TEST(ConsoleFrontEndTest, QuietShowsNothingButTheMessagesAndTheSummary) {
  FunctionPasses passes;
  WindowHarness harness(passes);
  FakeConsole console;
  ConsoleFrontEnd quiet(ConsoleFrontEnd::Mode::kQuiet, console);
  harness.window.Form_Load();
  quiet.Show(harness.window);
  harness.window.DoingWhat().SetCaption("Currently scanning:");
  quiet.ProcessPendingEvents();
  EXPECT_EQ(FakeConsole::Take(console.error), "");
  quiet.MessageBox("Problems encountered...", "Some text.",
                   {"A (C:\\A) removed: gone.", "B (C:\\B) repaired: made."});
  EXPECT_EQ(FakeConsole::Take(console.error),
            "Problems encountered...\nSome text.\nA (C:\\A) removed: gone.\n"
            "B (C:\\B) repaired: made.\n");
  EXPECT_EQ(console.enter_waits, 0);
  quiet.ReportFailure("The batch ended.");
  EXPECT_EQ(FakeConsole::Take(console.error), "The batch ended.\n");
  quiet.ShowSummary(SummaryOf(
      {"Trovane Setup: 1 of 2 wanted entries recorded.", "Not found: B."},
      {"Map.txt line D:\\X: drive D is not mapped."}));
  quiet.Close();
  EXPECT_EQ(console.output,
            "Trovane Setup: 1 of 2 wanted entries recorded.\nNot found: B.\n");
  EXPECT_EQ(console.error, "Map.txt line D:\\X: drive D is not mapped.\n");
}

// Standard error and standard output share the terminal: the summary on
// standard output must come after the last status on standard error, and
// nothing may move the cursor back over it.
TEST(ConsoleFrontEndTest, TerminalLeavesItsLastStatusAboveTheSummary) {
  FunctionPasses passes;
  WindowHarness harness(passes);
  FakeConsole console;
  console.terminal = true;
  console.columns = 41;
  ConsoleFrontEnd terminal(ConsoleFrontEnd::Mode::kTerminal, console);
  harness.window.Form_Load();
  terminal.Show(harness.window);
  const std::string first = FakeConsole::Take(console.screen);
  EXPECT_THAT(first, ::testing::HasSubstr("Loading..."));
  EXPECT_THAT(first, ::testing::HasSubstr("\x1b[?25l"));
  // One column short of the terminal's width.
  EXPECT_THAT(first,
              ::testing::HasSubstr("P1 [............................]   0%\n"));

  harness.window.DoingWhat().SetCaption("DONE!");
  terminal.ShowSummary(
      SummaryOf({"Trovane Setup: 2 of 2 wanted entries recorded."},
                {"The scan batch said:", "  File Not Found"}));
  terminal.Close();
  const std::string last = FakeConsole::Take(console.screen);
  // The status is redrawn in place once, then left where it is.
  EXPECT_THAT(last, ::testing::StartsWith("\x1b[4F\x1b[2KDONE!\n"));
  EXPECT_EQ(last.find("\x1b[4F", 1), std::string::npos);
  EXPECT_THAT(last, ::testing::EndsWith(
                        "\nThe scan batch said:\n  File Not Found\n"
                        "Trovane Setup: 2 of 2 wanted entries recorded.\n"
                        "\x1b[?25h"));
}

TEST(ConsoleFrontEndTest, TerminalBoxWaitsForEnterAndStaysAboveWhatFollows) {
  FunctionPasses passes;
  WindowHarness harness(passes);
  FakeConsole console;
  console.terminal = true;
  ConsoleFrontEnd terminal(ConsoleFrontEnd::Mode::kTerminal, console);
  harness.window.Form_Load();
  terminal.Show(harness.window);
  FakeConsole::Take(console.screen);

  // The box waits for Enter, the cursor shown meanwhile.
  terminal.MessageBox("Title", "Text", {"A (C:\\A) removed: gone."});
  EXPECT_THAT(FakeConsole::Take(console.screen),
              ::testing::EndsWith("\nTitle\nText\nA (C:\\A) removed: gone.\n"
                                  "Press Enter to continue.\x1b[?25h\n"
                                  "\x1b[?25l"));
  EXPECT_EQ(console.enter_waits, 1);

  // The status that changed after the box is drawn below it, never over it.
  harness.window.DoingWhat().SetCaption("DONE!");
  terminal.ShowSummary(SummaryOf({"Trovane Setup: done."}, {}));
  const std::string below = FakeConsole::Take(console.screen);
  EXPECT_THAT(below, ::testing::StartsWith("\x1b[2KDONE!\n"));
  EXPECT_THAT(below, ::testing::EndsWith("%\nTrovane Setup: done.\n"));

  // Unchanged since it was left above a message, it is not drawn again.
  terminal.ReportFailure("The batch ended.");
  terminal.ShowSummary(SummaryOf({"Trovane Setup: done."}, {}));
  EXPECT_EQ(FakeConsole::Take(console.screen),
            "The batch ended.\nTrovane Setup: done.\n");
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
