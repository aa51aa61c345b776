// The whole search pass as Start's click runs it, and the completion report
// that ends the run.
#include <gmock/gmock.h>

#include "platform/file_numbers.h"
#include "tests/search/search_fixture.h"

namespace trovane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

const char kProblems[] =
    "On double-check illegal entries have been found. There are no illegal "
    "entries in the database at the moment, but to make sure your VEK "
    "programs will run appropriately, you should run Trovane again.";

class SearchPassTest : public SearchTest {
 protected:
  SearchPassTest() {
    passes_.search = [this](Window& window) { SearchPass(window).Run(); };
  }
};

TEST_F(SearchPassTest, ACleanRunRecordsItsFindsAndEndsWithoutABox) {
  Write("Trovane",
        "INTERNAL FLAG = EXISTS!\r\nTDS = 1\r\nA=C:\\APP\\X.EXE\r\n");
  Write("App/X.EXE", "");
  Write("Lib/y.dll", "");
  Write("Run/FileList.txt", "A=x.exe\r\nB=y.dll\r\n");
  Write("Temp/Trovane.txt", "C:\\App\\X.EXE\r\nC:\\Lib\\y.dll\r\n");
  Want({"B=y.dll"});

  EXPECT_EQ(harness_.ExpectEnd([&] { window_.Start_Click(); }), 0);

  EXPECT_THAT(harness_.front_end.boxes, IsEmpty());
  EXPECT_THAT(
      Log(),
      ElementsAre(
          "About to begin search", "Done", "",
          "Doubble-checking:", "--- Serial number: 1",
          "Checking value = INTERNAL FLAG", "--- Serial number: 2",
          "Checking value = TDS", "--- Serial number: 3", "Checking value = A",
          "Filename from Trovane databank = C:\\APP\\X.EXE",
          "Correct filename = x.exe", "Checks up = True", "Exists = True",
          "--- Serial number: 4", "Checking value = B",
          "Filename from Trovane databank = C:\\LIB\\Y.DLL",
          "Correct filename = y.dll", "Checks up = True", "Exists = True",
          "--- Serial number: 5", "Checking value = ", "", "Finnished", "",
          "About to exit", "Cleanup"));
  EXPECT_EQ(Read("Trovane"),
            CrLf({"INTERNAL FLAG = EXISTS!", "TDS = 1", "A=C:\\APP\\X.EXE",
                  "B=C:\\LIB\\Y.DLL",
                  "List of files that Must Exist=C:\\Run\\MustExist.txt",
                  "Trovane root content upkeep file=C:\\Run\\FileList.txt"}));
  EXPECT_EQ(window_.DoingWhat().caption(), "DONE!");
  EXPECT_EQ(window_.Filename().caption(), "Exitting...");
  EXPECT_EQ(FileNumbers::Process().OpenCount(), 0);
}

// Notes at the box whether the bookkeeping entries were written already.
class BoxWatcher : public ScriptedFrontEnd {
 public:
  explicit BoxWatcher(Data& data) : data_(data) {}
  void MessageBox(std::string_view title, std::string_view text) override {
    ScriptedFrontEnd::MessageBox(title, text);
    bookkept_at_box =
        !data_.Query(kTrovaneDatabank, "Trovane root content upkeep file")
             .empty();
  }
  bool bookkept_at_box = false;

 private:
  Data& data_;
};

TEST_F(SearchPassTest, ProblemsAreShownBeforeTheBookkeepingIsWritten) {
  Write("Trovane", "INTERNAL FLAG = EXISTS!\r\nTDS = 1\r\nG=C:\\GONE\r\n");
  BoxWatcher watcher(harness_.data);
  Window window(
      {harness_.files, harness_.clock, harness_.data, FileNumbers::Process(),
       harness_.launcher, "", [](int status) { throw ProcessEnded{status}; }},
      passes_, watcher);
  watcher.Show(window);
  window.Form_Load();

  EXPECT_EQ(harness_.ExpectEnd([&] { window.Start_Click(); }), 1);

  EXPECT_THAT(watcher.boxes, ElementsAre(std::pair<std::string, std::string>(
                                 "Problems encountered...", kProblems)));
  EXPECT_FALSE(watcher.bookkept_at_box);
  EXPECT_EQ(Value("List of files that Must Exist"), "C:\\Run\\MustExist.txt");
  EXPECT_EQ(Value("Trovane root content upkeep file"), "C:\\Run\\FileList.txt");
  EXPECT_EQ(Value("G"), "");
  const std::vector<std::string> log = Log();
  ASSERT_GE(log.size(), 8U);
  EXPECT_THAT(std::vector<std::string>(log.end() - 8, log.end()),
              ElementsAre("Line removed", "--- Serial number: 3",
                          "Checking value = ", "", "Finnished", "",
                          "About to exit", "Cleanup"));
}

}  // namespace
}  // namespace trovane::testing
