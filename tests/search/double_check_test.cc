// The double-check: every entry of the Trovane databank is tested, the
// upkeep lists gain the lines they lack, and a failed entry is repaired
// according to its kind or removed.
#include <gmock/gmock.h>

#include <algorithm>
#include <stdexcept>

#include "tests/search/search_fixture.h"

namespace trovane::testing {
namespace {

using ::testing::ElementsAre;

// The log holds `run` as consecutive lines.
MATCHER_P(HasRun, run, "") {
  return std::search(arg.begin(), arg.end(), run.begin(), run.end()) !=
         arg.end();
}

constexpr char kWantedList[] = "C:\\Run\\FileList.txt";

class DoubleCheckTest : public SearchTest {
 protected:
  // The Trovane databank: its two housekeeping lines, then `entries`.
  void Bank(std::initializer_list<std::string_view> entries) {
    Write("Trovane", BankText(entries));
  }
  static std::string BankText(std::initializer_list<std::string_view> entries) {
    return CrLf({"INTERNAL FLAG = EXISTS!", "TDS = 21:24:33 12-08-2026"}) +
           CrLf(entries);
  }
  // The walk over the databank: its serial number and key lines only.
  std::vector<std::string> Walk() const {
    std::vector<std::string> walk;
    for (const std::string& line : Log()) {
      if (line.starts_with("--- Serial number: ") ||
          line.starts_with("Checking value = ")) {
        walk.push_back(line);
      }
    }
    return walk;
  }
  // The lines logged for the entry `key` at line `serial`, whose location
  // is `path`, followed by `outcome`.
  static std::vector<std::string> Entry(
      int serial, const std::string& key, const std::string& path,
      std::initializer_list<std::string> outcome) {
    std::vector<std::string> lines = {
        "--- Serial number: " + std::to_string(serial),
        "Checking value = " + key, "Filename from Trovane databank = " + path};
    lines.insert(lines.end(), outcome);
    return lines;
  }
};

TEST_F(DoubleCheckTest, AGoodEntryIsCheckedWithTheseLinesAndKept) {
  Bank({"A=C:\\APP\\X.EXE"});
  Write("App/X.EXE", "");
  Write("Run/FileList.txt", "A=x.exe\r\n");
  EXPECT_FALSE(Check());
  EXPECT_THAT(Log(),
              ElementsAre("Doubble-checking:", "--- Serial number: 1",
                          "Checking value = INTERNAL FLAG",
                          "--- Serial number: 2", "Checking value = TDS",
                          "--- Serial number: 3", "Checking value = A",
                          "Filename from Trovane databank = C:\\APP\\X.EXE",
                          "Correct filename = x.exe", "Checks up = True",
                          "Exists = True", "--- Serial number: 4",
                          "Checking value = "));
  EXPECT_EQ(yields(), 1);  // none for the housekeeping entries
  EXPECT_EQ(window_.DoingWhat().caption(), "Doubble-checking entry:");
  EXPECT_EQ(window_.Filename().caption(), "A");
  EXPECT_EQ(Read("Trovane"), BankText({"A=C:\\APP\\X.EXE"}));
  EXPECT_EQ(Read("Run/FileList.txt"), "A=x.exe\r\n");
  EXPECT_FALSE(Exists("Run/MustExist.txt"));
}

TEST_F(DoubleCheckTest, TheShortestTailNoListedValueContainsIsRecorded) {
  const auto tail = [this](std::string_view list, std::string_view path) {
    Write("Run/FileList.txt", list);
    return ShortestDistinguishingTail(harness_.data, kWantedList, path);
  };
  EXPECT_EQ(tail("B=other.dll\r\n", "C:\\APP\\X.EXE"), "X.EXE");
  EXPECT_EQ(tail("B=c:\\old\\x.exe\r\n", "C:\\APP\\X.EXE"), "APP\\X.EXE");
  EXPECT_EQ(
      tail("B=c:\\old\\x.exe\r\nC=D:\\C:\\APP\\X.EXE\r\n", "C:\\APP\\X.EXE"),
      "C:\\APP\\X.EXE");
  EXPECT_EQ(tail("B=x.exe\r\n", "X.EXE"), "X.EXE");

  Bank({"A=C:\\APP\\X.EXE"});
  Write("App/X.EXE", "");
  Write("Run/FileList.txt", "B=c:\\old\\x.exe\r\n");
  EXPECT_FALSE(Check());
  EXPECT_EQ(Read("Run/FileList.txt"), "B=c:\\old\\x.exe\r\nA=APP\\X.EXE\r\n");
  EXPECT_THAT(Log(), HasRun(Entry(3, "A", "C:\\APP\\X.EXE",
                                  {"Correct filename = APP\\X.EXE",
                                   "Checks up = True", "Exists = True"})));
}

// The entries the completion report writes at the end of every run.
TEST_F(DoubleCheckTest, TheBookkeepingEntriesAreCheckedLikeAnyOther) {
  Bank({"List of files that Must Exist=C:\\Run\\MustExist.txt",
        "Trovane root content upkeep file=C:\\Run\\FileList.txt"});
  Write("Run/FileList.txt", "A=x.exe\r\n");
  // Without a must-exist list its entry names nothing and has no kind.
  EXPECT_TRUE(Check());
  EXPECT_EQ(
      Read("Trovane"),
      BankText({"Trovane root content upkeep file=C:\\Run\\FileList.txt"}));
  EXPECT_EQ(Read("Run/FileList.txt"),
            CrLf({"A=x.exe", "List of files that Must Exist=MustExist.txt",
                  "Trovane root content upkeep file=FileList.txt"}));
  EXPECT_FALSE(Exists("Run/MustExist.txt"));
}

TEST_F(DoubleCheckTest, AnInterfaceKeyIsACfpFileThatIsCreatedWhenMissing) {
  Bank({"MyInterfaceFile=C:\\CONF\\IFACE.CFG"});
  harness_.files.MakeFolder("Conf");
  Write("Run/FileList.txt", "MyInterfaceFile=iface.cfg\r\n");
  EXPECT_FALSE(Check());
  EXPECT_EQ(Read("Run/MustExist.txt"), "MyInterfaceFile=CFP\r\n");
  EXPECT_EQ(Read("Conf/IFACE.CFG"), "--- Blank entry\r\n\r\n");
  EXPECT_THAT(Log(), ::testing::IsSupersetOf(
                         {"Correct filename = iface.cfg", "Checks up = True",
                          "Exists = False", "Attempting to create CFP file"}));
  EXPECT_EQ(Read("Trovane"), BankText({"MyInterfaceFile=C:\\CONF\\IFACE.CFG"}));
}

TEST_F(DoubleCheckTest, ADirEntryGetsItsFolderAndMarkerAndPassesNextTime) {
  Bank({"D=C:\\DATA"});
  Write("Run/MustExist.txt", "D=dir\r\n");
  Write("Run/FileList.txt", "D=data\r\n");
  EXPECT_FALSE(Check());
  EXPECT_EQ(
      Read("DATA/VEKcreate.dir"),
      "This file was created by VEK Trovane, please do not delete it\r\n");
  EXPECT_FALSE(Check());
  const std::vector<std::string> log = Log();
  EXPECT_EQ(
      std::count(log.begin(), log.end(), "Attempting to create directory"), 1);
  EXPECT_EQ(std::count(log.begin(), log.end(), "Exists = True"), 1);
  EXPECT_EQ(Read("Trovane"), BankText({"D=C:\\DATA"}));
}

TEST_F(DoubleCheckTest, ADspEntryGetsANewDatabank) {
  Bank({"S=C:\\BANKS\\SETTINGS"});
  harness_.files.MakeFolder("Banks");
  Write("Run/MustExist.txt", "S=DSP\r\n");
  Write("Run/FileList.txt", "S=settings\r\n");
  EXPECT_FALSE(Check());
  EXPECT_EQ(Read("Banks/SETTINGS"),
            CrLf({"INTERNAL FLAG = EXISTS!", "TDS = 21:24:33 12-08-2026"}));
  EXPECT_THAT(Log(), ::testing::Contains("Attempting to create databank"));
  EXPECT_EQ(Read("Trovane"), BankText({"S=C:\\BANKS\\SETTINGS"}));
}

TEST_F(DoubleCheckTest, AnExistingFileFailingTheNameTestIsNeverOverwritten) {
  Bank({"C=C:\\CONF\\OTHER.CFG"});
  Write("Conf/OTHER.CFG", "mine\r\n");
  Write("Run/MustExist.txt", "C=CFP\r\n");
  Write("Run/FileList.txt", "C=iface.cfg\r\n");
  EXPECT_TRUE(Check());
  EXPECT_EQ(Read("Conf/OTHER.CFG"), "mine\r\n");
  EXPECT_THAT(Log(),
              HasRun(Entry(3, "C", "C:\\CONF\\OTHER.CFG",
                           {"Correct filename = iface.cfg", "Checks up = False",
                            "Exists = True", "Attempting to create CFP file",
                            "Failed; line removed"})));
  EXPECT_EQ(Read("Trovane"), BankText({}));
}

TEST_F(DoubleCheckTest, AnExistingFileIsNeverTurnedIntoADatabankEither) {
  Bank({"D=C:\\CONF\\TOOL.EXE"});
  const std::string program("MZ\0\r\n\r\nbinary", 13);
  Write("Conf/TOOL.EXE", program);
  Write("Run/MustExist.txt", "D=DSP\r\n");
  Write("Run/FileList.txt", "D=settings.dsp\r\n");
  EXPECT_TRUE(Check());
  EXPECT_EQ(Read("Conf/TOOL.EXE"), program);
  EXPECT_THAT(Log(), ::testing::Contains("Failed; line removed"));
}

TEST_F(DoubleCheckTest, RemovalsInARowAreEachCheckedAtTheSameLineNumber) {
  Bank({"G=C:\\GONE\\G.EXE", "H=C:\\NOWHERE\\H.CFG", "K=C:\\APP\\K.EXE"});
  Write("App/K.EXE", "");
  Write("Run/MustExist.txt", "H=cfp\r\n");
  Write("Run/FileList.txt", "G=g.exe\r\nH=h.cfg\r\nK=k.exe\r\n");
  EXPECT_TRUE(Check());
  const std::vector<std::string> log = Log();
  EXPECT_THAT(log, HasRun(Entry(3, "G", "C:\\GONE\\G.EXE",
                                {"Correct filename = g.exe", "Checks up = True",
                                 "Exists = False", "Line removed"})));
  // The folder to hold the file is missing, so the repair fails.
  EXPECT_THAT(log,
              HasRun(Entry(3, "H", "C:\\NOWHERE\\H.CFG",
                           {"Correct filename = h.cfg", "Checks up = True",
                            "Exists = False", "Attempting to create CFP file",
                            "Failed; line removed"})));
  EXPECT_THAT(
      Walk(),
      ElementsAre("--- Serial number: 1", "Checking value = INTERNAL FLAG",
                  "--- Serial number: 2", "Checking value = TDS",
                  "--- Serial number: 3", "Checking value = G",
                  "--- Serial number: 3", "Checking value = H",
                  "--- Serial number: 3", "Checking value = K",
                  "--- Serial number: 4", "Checking value = "));
  EXPECT_EQ(Read("Trovane"), BankText({"K=C:\\APP\\K.EXE"}));
  EXPECT_FALSE(Exists("NOWHERE"));
}

// What the problems message names after its text: each entry the walk
// repaired or removed, where it lay, and why.
TEST_F(DoubleCheckTest, EachEntryRepairedOrRemovedIsReportedWithWhy) {
  Bank({"Config=C:\\VEK\\CONFIG", "Gone=C:\\VEK\\GONE.EXE",
        "Other=C:\\VEK\\OTHER.EXE", "Face=C:\\NOWHERE\\FACE.CFG",
        "Odd=C:\\VEK\\ODD", "Saves=C:\\VEK\\SAVES",
        "Prefs=C:\\VEK\\PREFS.DSP"});
  harness_.files.MakeFolder("Vek/Config");
  harness_.files.MakeFolder("Vek/Odd");
  harness_.files.MakeFolder("Vek/Saves");
  Write("Vek/OTHER.EXE", "");
  Write("Run/FileList.txt",
        CrLf({"Config=vek\\config", "Gone=gone.exe", "Other=main.exe",
              "Face=face.cfg", "Odd=odd", "Saves=saves", "Prefs=prefs.dsp"}));
  Write("Run/MustExist.txt",
        CrLf({"Face=CFP", "Odd=CFP", "Saves=DIR", "Prefs=DSP"}));
  EXPECT_TRUE(Check());
  EXPECT_THAT(
      window_.report().CheckLines(),
      ElementsAre(
          "Config (C:\\VEK\\CONFIG) removed: a folder; add Config=DIR "
          "to MustExist.txt to keep it.",
          "Gone (C:\\VEK\\GONE.EXE) removed: no file or folder is there.",
          "Other (C:\\VEK\\OTHER.EXE) removed: its path does not hold its "
          "file name main.exe from FileList.txt.",
          "Face (C:\\NOWHERE\\FACE.CFG) removed: the CFP file could not be "
          "made there.",
          "Odd (C:\\VEK\\ODD) removed: a folder, where MustExist.txt says "
          "CFP.",
          "Saves (C:\\VEK\\SAVES) repaired: its marker VEKcreate.dir was "
          "made, as MustExist.txt says DIR.",
          "Prefs (C:\\VEK\\PREFS.DSP) repaired: a new databank was made "
          "there, as MustExist.txt says DSP."));
  EXPECT_TRUE(window_.report().EveryRemovalDone());
  EXPECT_FALSE(window_.report().AnythingNotWritten());
  EXPECT_EQ(Read("Trovane"),
            BankText({"Saves=C:\\VEK\\SAVES", "Prefs=C:\\VEK\\PREFS.DSP"}));
}

// A full disk or a databank that cannot be rewritten: the entries stay,
// and nothing says they went.
TEST_F(DoubleCheckTest, ARemovalThatCannotBeWrittenIsToldAndTheWalkGoesOn) {
  Bank({"G=C:\\GONE1", "H=C:\\NOWHERE\\H.CFG"});
  Write("Run/MustExist.txt", "H=CFP\r\n");
  // A folder where a rewrite of the databank builds its new content.
  Write(".Trovane.trovane-new/blocker", "");
  harness_.front_end.on_yield = [](int yield) {
    if (yield > 20) throw std::runtime_error("the walk does not end");
  };
  bool problems = false;
  EXPECT_NO_THROW(problems = Check());
  EXPECT_TRUE(problems);
  EXPECT_THAT(
      Walk(),
      ElementsAre("--- Serial number: 1", "Checking value = INTERNAL FLAG",
                  "--- Serial number: 2", "Checking value = TDS",
                  "--- Serial number: 3", "Checking value = G",
                  "--- Serial number: 4", "Checking value = H",
                  "--- Serial number: 5", "Checking value = "));
  const std::vector<std::string> log = Log();
  EXPECT_EQ(std::count(log.begin(), log.end(), "Line could not be removed"), 1);
  EXPECT_EQ(
      std::count(log.begin(), log.end(), "Failed; line could not be removed"),
      1);
  EXPECT_THAT(log, ::testing::Not(::testing::Contains("Line removed")));
  EXPECT_THAT(log, ::testing::Not(::testing::Contains("Failed; line removed")));
  EXPECT_THAT(
      window_.report().CheckLines(),
      ElementsAre("G (C:\\GONE1) could not be removed: no file or folder "
                  "is there; C:\\Trovane could not be written.",
                  "H (C:\\NOWHERE\\H.CFG) could not be removed: the CFP "
                  "file could not be made there; C:\\Trovane could not be "
                  "written."));
  EXPECT_FALSE(window_.report().EveryRemovalDone());
  EXPECT_TRUE(window_.report().AnythingNotWritten());
  EXPECT_EQ(Read("Trovane"), BankText({"G=C:\\GONE1", "H=C:\\NOWHERE\\H.CFG"}));
}

}  // namespace
}  // namespace trovane::testing
