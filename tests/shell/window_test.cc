// The main window's events: start-up, the one-shot analysis tick, the
// batch wait and the unload, driven through a scripted front end.
#include "shell/window.h"

#include <gmock/gmock.h>

#include "platform/file_numbers.h"
#include "tests/support/window_harness.h"

namespace trovane::testing {
namespace {

using ::testing::ElementsAre;

class WindowTest : public ::testing::Test {
 protected:
  FunctionPasses passes_;
  WindowHarness harness_{passes_};
  Window& window_ = harness_.window;
};

TEST_F(WindowTest, LoadPreparesLogsAndSignalAndArmsTheFirstTimer) {
  harness_.files.Write("Run/Trovane.Log", "an earlier run's line\r\n");
  harness_.files.Write("Run/Database_IO.log", "earlier I/O\r\n");
  harness_.files.Write("Temp/Signal.txt", "OK! \r\n");
  EXPECT_FALSE(window_.RightAfterLoad().enabled());

  window_.Form_Load();

  EXPECT_THAT(harness_.ActivityLog(), ElementsAre("Cleanup"));
  EXPECT_EQ(harness_.files.Read("Run/Database_IO.log.x"), "earlier I/O\r\n");
  EXPECT_FALSE(harness_.files.Exists("Temp/Signal.txt"));
  EXPECT_TRUE(window_.RightAfterLoad().enabled());
  EXPECT_FALSE(window_.Wait().enabled());
  EXPECT_EQ(window_.run_path(), "C:\\Run");
  EXPECT_EQ(window_.temporary_folder(), "C:\\Temp");
}

TEST_F(WindowTest, ControlsStartAsTheWindowIsDesigned) {
  EXPECT_EQ(window_.DoingWhat().caption(), "Loading...");
  EXPECT_EQ(window_.Filename().caption(), "");
  EXPECT_EQ(window_.Start().caption(), "Start");
  EXPECT_EQ(window_.FileList().ListCount(), 0);
  for (const ProgressBar* bar : {&window_.P1(), &window_.P2()}) {
    EXPECT_EQ(bar->min(), 0.0F);
    EXPECT_EQ(bar->max(), 100.0F);
    EXPECT_EQ(bar->value(), 0.0F);
  }
  EXPECT_EQ(window_.RightAfterLoad().interval().count(), 1);
  EXPECT_EQ(window_.Wait().interval().count(), 1);
}

TEST_F(WindowTest, ATickArrivingWhileTheAnalysisYieldsDoesNotRestartIt) {
  int passes_run = 0;
  passes_.analysis = [&](Window& window) {
    ++passes_run;
    for (int i = 0; i < 3; ++i) window.DoEvents();
    window.Wait().SetEnabled(true);
    window.RightAfterLoad().SetEnabled(false);
  };
  // Every yield delivers a tick of the timer that is still enabled.
  harness_.front_end.on_yield = [&](int) { window_.RightAfterLoad().Tick(); };
  window_.Form_Load();
  window_.RightAfterLoad().Tick();
  EXPECT_EQ(passes_run, 1);
  EXPECT_EQ(harness_.front_end.yields, 3);
  window_.RightAfterLoad().Tick();  // disabled by now
  EXPECT_EQ(passes_run, 1);
}

TEST_F(WindowTest, UnloadDuringAYieldEndsThePassThere) {
  passes_.analysis = [](Window& window) {
    window.LogActivity("before the yield");
    window.DoEvents();
    window.LogActivity("after the yield");
  };
  harness_.front_end.on_yield = [&](int) { window_.Unload(); };
  window_.Form_Load();
  const int status =
      harness_.ExpectEnd([&] { window_.RightAfterLoad().Tick(); });

  EXPECT_EQ(status, 2);
  EXPECT_THAT(harness_.ActivityLog(), ElementsAre("Cleanup", "before the yield",
                                                  "About to exit", "Cleanup"));
  EXPECT_EQ(harness_.front_end.closes, 1);
  EXPECT_EQ(FileNumbers::Process().OpenCount(), 0);
}

TEST_F(WindowTest, UnloadClosesEveryOpenFile) {
  harness_.files.Write("Run/FileList.txt", "A=b\r\n");
  window_.Form_Load();
  std::unique_ptr<InputFile> held =
      harness_.files.OpenForReading("C:\\Run\\FileList.txt", {});
  ASSERT_EQ(FileNumbers::Process().OpenCount(), 1);
  EXPECT_EQ(harness_.ExpectEnd([&] { window_.Unload(); }), 2);
  EXPECT_EQ(FileNumbers::Process().OpenCount(), 0);
}

TEST_F(WindowTest, TheSearchPassEndingCleanlyExitsWithZeroOrOne) {
  passes_.search = [](Window& window) { window.Unload(RunOutcome::kClean); };
  window_.Form_Load();
  EXPECT_EQ(harness_.ExpectEnd([&] { window_.Start_Click(); }), 0);

  FunctionPasses troubled;
  troubled.search = [](Window& window) {
    window.Unload(RunOutcome::kProblems);
  };
  WindowHarness other(troubled);
  other.window.Form_Load();
  EXPECT_EQ(other.ExpectEnd([&] { other.window.Start_Click(); }), 1);
  EXPECT_THAT(other.ActivityLog(),
              ElementsAre("Cleanup", "About to exit", "Cleanup"));
}

// The batch wait.
class BatchWaitTest : public WindowTest {
 protected:
  void SetUp() override {
    passes_.search = [this](Window&) { ++searches_; };
    window_.Form_Load();
    window_.FileList().AddItem("A=b.exe");
    window_.StartScanBatch("C:\\Run\\Map.Bat");
    window_.Wait().SetEnabled(true);
  }
  void Signal(std::string_view content) {
    harness_.files.Write("Temp/Signal.txt", content);
  }
  bool WaitIsOver() const {
    return window_.Start().enabled() && !window_.Wait().enabled();
  }
  int searches_ = 0;
};

TEST_F(BatchWaitTest, TheBatchsSignalEndsTheWaitAndStartsTheSearch) {
  Signal("OK! \r\n");
  // Written by whoever while the run's own batch is still at work: the
  // listing is not done.
  window_.Wait().Tick();
  EXPECT_FALSE(WaitIsOver());
  harness_.launcher.ended = true;
  window_.Wait().Tick();
  EXPECT_TRUE(WaitIsOver());
  EXPECT_EQ(searches_, 1);
  window_.Wait().Tick();  // Wait is off: nothing starts the search again
  EXPECT_EQ(searches_, 1);
}

TEST_F(BatchWaitTest, LowerCaseLettersEndTheWaitToo) {
  Signal("ok");
  harness_.launcher.ended = true;
  window_.Wait().Tick();
  EXPECT_TRUE(WaitIsOver());
}

TEST_F(BatchWaitTest, AnythingElseKeepsWaiting) {
  for (const std::string_view content :
       {std::string_view(" OK"), std::string_view("O"), std::string_view(""),
        std::string_view("NO")}) {
    Signal(content);
    window_.Wait().Tick();
    EXPECT_FALSE(window_.Start().enabled()) << content;
    EXPECT_TRUE(window_.Wait().enabled()) << content;
  }
  EXPECT_EQ(searches_, 0);
}

TEST_F(BatchWaitTest, ABatchBehindAnEarlierRunsIsToldOf) {
  const std::unique_ptr<HeldLock> earlier =
      harness_.files.HoldFileElsewhere("C:\\Temp\\Trovane.txt");
  window_.StartScanBatch("C:\\Run\\Map.Bat");
  ASSERT_TRUE(window_.Progress().has_value());
  EXPECT_THAT(ProgressText(*window_.Progress()),
              ::testing::EndsWith("waiting for an earlier run's scan batch"));
  EXPECT_THAT(window_.report().notices(),
              ElementsAre("An earlier run's scan batch was still listing into "
                          "C:\\Temp\\Trovane.txt as this run's was started, "
                          "which waited for it to end."));
}

TEST_F(BatchWaitTest, APollLeavesAnEmptySignalFileBehind) {
  window_.Wait().Tick();
  EXPECT_TRUE(harness_.files.Exists("Temp/Signal.txt"));
  EXPECT_EQ(harness_.files.Read("Temp/Signal.txt"), "");
  EXPECT_FALSE(WaitIsOver());
  EXPECT_EQ(FileNumbers::Process().OpenCount(), 0);
}

TEST_F(BatchWaitTest, AnEmptyListEndsTheWaitWithoutASignal) {
  window_.FileList().RemoveItem(0);
  window_.Wait().Tick();
  EXPECT_TRUE(WaitIsOver());
  EXPECT_EQ(searches_, 1);
}

}  // namespace
}  // namespace trovane::testing
