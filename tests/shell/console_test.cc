// The front ends without a window: what they write, and their timers.
#include <fcntl.h>
#include <gmock/gmock.h>
#include <unistd.h>

#include <thread>

#include "shell/console_front_end.h"
#include "tests/support/window_harness.h"

namespace trovane::testing {
namespace {

// A pipe whose reading end never blocks.
class Pipe {
 public:
  Pipe() { EXPECT_EQ(pipe2(ends_, O_NONBLOCK | O_CLOEXEC), 0); }
  ~Pipe() {
    close(ends_[0]);
    close(ends_[1]);
  }
  int write_end() const { return ends_[1]; }
  std::string Drain() {
    std::string text;
    char buffer[4096];
    ssize_t n;
    while ((n = read(ends_[0], buffer, sizeof buffer)) > 0) {
      text.append(buffer, static_cast<size_t>(n));
    }
    return text;
  }

 private:
  int ends_[2] = {-1, -1};
};

TEST(ConsoleFrontEndTest, QuietShowsNothingButTheMessagesAndTheSummary) {
  FunctionPasses passes;
  WindowHarness harness(passes);
  Pipe output;
  Pipe input;
  Pipe summary;
  ConsoleFrontEnd quiet(ConsoleFrontEnd::Mode::kQuiet, output.write_end(),
                        input.write_end(), summary.write_end());
  harness.window.Form_Load();
  quiet.Show(harness.window);
  harness.window.DoingWhat().SetCaption("Currently scanning:");
  quiet.ProcessPendingEvents();
  quiet.Close();
  EXPECT_EQ(output.Drain(), "");
  quiet.MessageBox("Problems encountered...", "Some text.");
  EXPECT_EQ(output.Drain(), "Problems encountered...\nSome text.\n");
  quiet.ReportFailure("The batch ended.");
  EXPECT_EQ(output.Drain(), "The batch ended.\n");
  quiet.ShowSummary("Trovane Setup: 0 of 0 wanted entries found.");
  EXPECT_EQ(summary.Drain(), "Trovane Setup: 0 of 0 wanted entries found.\n");
}

TEST(ConsoleFrontEndTest, TerminalDrawsInPlaceAndGivesTheCursorBack) {
  FunctionPasses passes;
  WindowHarness harness(passes);
  Pipe output;
  Pipe input;  // not a terminal: the box does not wait for Enter
  ConsoleFrontEnd terminal(ConsoleFrontEnd::Mode::kTerminal, output.write_end(),
                           input.write_end(), output.write_end());
  harness.window.Form_Load();
  terminal.Show(harness.window);
  const std::string first = output.Drain();
  EXPECT_THAT(first, ::testing::HasSubstr("Loading..."));
  EXPECT_THAT(first, ::testing::HasSubstr("\x1b[?25l"));

  harness.window.DoingWhat().SetCaption("Currently scanning:");
  terminal.Close();
  const std::string last = output.Drain();
  EXPECT_THAT(last, ::testing::HasSubstr("\x1b[4F"));  // back over 4 lines
  EXPECT_THAT(last, ::testing::HasSubstr("Currently scanning:"));
  EXPECT_THAT(last, ::testing::EndsWith("\x1b[?25h"));

  terminal.MessageBox("Title", "Text");
  EXPECT_THAT(output.Drain(), ::testing::HasSubstr("\nTitle\nText\n"));
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

  // A timer with a wake descriptor ticks as soon as it wakes.
  timer.SetWakeFds({7}, std::chrono::milliseconds(250));
  timer.SetEnabled(true);
  ASSERT_EQ(schedule.WakeFds().size(), 1U);
  EXPECT_EQ(schedule.WakeFds()[0].fd, 7);
  schedule.Wake(schedule.WakeFds()[0].timer);
  schedule.TickDue(TimerSchedule::Clock::now());
  EXPECT_EQ(ticks, 2);
}

}  // namespace
}  // namespace trovane::testing
