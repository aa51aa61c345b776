// The disk map scan: which wanted entries a disk map resolves, what the
// Trovane databank records for them, and how far the map is read.
#include <gmock/gmock.h>

#include "tests/search/search_fixture.h"

namespace trovane::testing {
namespace {

using ::testing::ElementsAre;
using ::testing::IsEmpty;

TEST(ScanLabelTest, ShowsTheFolderPartCutOnlyFromThirtyFourCharactersOn) {
  const std::string folder29 = "C:\\" + std::string(26, 'D');
  EXPECT_EQ(ScanLabel(folder29 + "\\F.E"), folder29);  // 33 characters
  const std::string folder32 = "C:\\" + std::string(29, 'D');
  EXPECT_EQ(ScanLabel(folder32 + "\\A"), folder32.substr(0, 30) + "...");
  EXPECT_EQ(ScanLabel("C:\\X\\" + std::string(29, 'N')), "C:\\X...");
  EXPECT_EQ(ScanLabel("NOFOLDER.EXE"), "NOFOLDER.EXE");
}

TEST_F(SearchTest, AValueEndingAPathRecordsThatPathUpperCased) {
  const std::string map = "C:\\X\\ab.exe\r\nC:\\Y\\B.EXE\r\n";
  Write("Temp/Trovane.txt", map);
  Want({" A = b.exe "});
  window_.P2().SetMax(1);
  Scan();
  EXPECT_EQ(Read("Trovane"), "A=C:\\X\\AB.EXE\r\n");
  EXPECT_THAT(Items(), IsEmpty());
  EXPECT_THAT(Log(), ElementsAre("About to begin search", "Done", ""));
  EXPECT_EQ(window_.DoingWhat().caption(), "Currently scanning:");
  EXPECT_EQ(window_.Filename().caption(), "C:\\X");
  EXPECT_EQ(window_.P1().min(), 0.0F);
  EXPECT_EQ(window_.P1().max(), static_cast<float>(map.size()));
  EXPECT_EQ(window_.P1().value(), window_.P1().max());
  EXPECT_EQ(window_.P2().value(), 1.0F);
}

TEST_F(SearchTest, EveryItemMatchingOnePathIsRecordedInItemOrder) {
  Write("Temp/Trovane.txt", "C:\\P\\X.EXE\r\nC:\\Q\\X.EXE\r\nC:\\Y.EXE\r\n");
  Want({"Z=.exe", "K=y.exe", "A=x.exe", "M=c:\\p\\x.exe", "B=X.EXE"});
  window_.P2().SetMax(5);
  Scan();
  EXPECT_EQ(Read("Trovane"),
            CrLf({"Z=C:\\P\\X.EXE", "A=C:\\P\\X.EXE", "M=C:\\P\\X.EXE",
                  "B=C:\\P\\X.EXE", "K=C:\\Y.EXE"}));
  EXPECT_THAT(Items(), IsEmpty());
  EXPECT_EQ(window_.P2().value(), 5.0F);
}

TEST_F(SearchTest, ACommaSplitsADiskMapLineIntoTwoRecords) {
  Want({"O=c:\\odd", "N=name.exe", "whole.exe", "F=odd,name.exe"});
  Write("Temp/Trovane.txt", "C:\\Odd,Name.exe\r\nC:\\Whole.exe\r\n");
  Scan();
  // An item without "=" has no key to record, but it is resolved all the
  // same.
  EXPECT_EQ(Read("Trovane"), CrLf({"O=C:\\ODD", "N=NAME.EXE"}));
  EXPECT_THAT(Items(), ElementsAre("F=odd,name.exe"));
}

TEST_F(SearchTest, ReadingStopsOnceTheListIsEmpty) {
  // Every label update lets a second pass, so that the next record read is
  // due for one; the first record always is.
  harness_.front_end.on_yield = [&](int) {
    harness_.clock.Advance(std::chrono::seconds(1));
  };
  std::string map;
  for (int folder = 100; folder < 300; ++folder) {
    map += "C:\\F" + std::to_string(folder) + "\\" + std::to_string(folder) +
           ".EXE\r\n";
  }
  Write("Temp/Trovane.txt", map);
  Want({"T=101.exe"});
  Scan();
  EXPECT_THAT(Items(), IsEmpty());
  // At most the record that emptied the list and the one after it follow
  // the first.
  EXPECT_LE(yields(), 3);
  EXPECT_THAT(window_.Filename().caption(),
              ::testing::AnyOf("C:\\F100", "C:\\F101", "C:\\F102"));

  const int before = yields();
  Scan();  // with nothing left to look for: one record is read
  EXPECT_EQ(yields(), before + 1);
  EXPECT_EQ(window_.Filename().caption(), "C:\\F100");
}

TEST_F(SearchTest, AMissingDiskMapIsOneEmptyRecord) {
  Write("Trovane", "E=C:\\OLD\r\nF=C:\\F\r\n");
  Want({"E=", "F=f.exe"});
  Scan();
  // The empty value matches the empty record, and setting it empty takes
  // the key out of the databank.
  EXPECT_EQ(Read("Trovane"), "F=C:\\F\r\n");
  EXPECT_THAT(Items(), ElementsAre("F=f.exe"));
  EXPECT_THAT(Log(), ElementsAre("About to begin search", "Done", ""));
  EXPECT_EQ(window_.P1().value(), window_.P1().max());
}

}  // namespace
}  // namespace trovane::testing
