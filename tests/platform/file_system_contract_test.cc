// What every file system the program runs on does alike: the disk in
// memory most tests run on, and this system's real disk. The same cases
// run on each, so a fake that drifts from the disk it stands for fails
// here rather than in a test that trusts it.
#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <string_view>

#include "platform/file_system.h"
#include "platform/input_file.h"
#include "platform/time_text.h"
#include "tests/support/disks.h"

namespace trovane::testing {
namespace {

template <typename Disk>
class FileSystemContract : public ::testing::Test {
 protected:
  FileSystem& files() { return disk_.files(); }
  // The whole content of the file at `path` as the file system reads it;
  // nothing when it cannot be opened.
  std::optional<std::string> ReadThrough(std::string_view path,
                                         OpenOptions options = {}) {
    std::unique_ptr<InputFile> in = files().OpenForReading(path, options);
    if (!in) return std::nullopt;
    std::string bytes(1024, '\0');
    bytes.resize(in->ReadBytes(bytes.data(), bytes.size()));
    return bytes;
  }

  Disk disk_;
};

TYPED_TEST_SUITE(FileSystemContract, Disks);

TYPED_TEST(FileSystemContract, TheProbeFindsVisibleOrdinaryFilesOnly) {
  TypeParam& disk = this->disk_;
  FileSystem& files = this->files();
  disk.Write("Run/Zeta.exe", "");
  disk.Write("Run/alpha.EXE", "");
  disk.Write("Run/.hidden.exe", "");
  disk.MakeFolder("Run/Folder.exe");
  disk.PlantLink("Run/Link.dll", "Run/Zeta.exe");
  disk.PlantLink("Run/Broken.dll", "Run/missing");

  // Byte order puts ".hidden.exe" and "Folder.exe" first; neither counts.
  EXPECT_EQ(files.Probe("C:\\Run\\*.exe"), "Zeta.exe");
  EXPECT_EQ(files.Probe("C:\\RUN\\ALPHA.exe"), "alpha.EXE");
  EXPECT_EQ(files.Probe("C:\\Run\\?eta.EXE"), "Zeta.exe");
  EXPECT_EQ(files.Probe("C:\\Run\\.hidden.exe"), "");
  EXPECT_EQ(files.Probe("C:\\Run\\.h*"), "");
  EXPECT_EQ(files.Probe("C:\\Run\\Folder.exe"), "");
  EXPECT_EQ(files.Probe("C:\\Run"), "");
  EXPECT_EQ(files.Probe("C:\\Run\\link.DLL"), "Link.dll");
  EXPECT_EQ(files.Probe("C:\\Run\\Broken.dll"), "");
  EXPECT_EQ(files.Probe("C:\\Run\\*.dll"), "Link.dll");
  EXPECT_EQ(files.Probe("C:\\Run\\Sub\\..\\Zeta.exe"), "Zeta.exe");
  EXPECT_EQ(files.Probe("C:\\*\\Zeta.exe"), "");
  EXPECT_EQ(files.Probe("C:\\Nowhere\\*.exe"), "");
  EXPECT_EQ(files.Probe("Q:\\Run\\Zeta.exe"), "");

  EXPECT_TRUE(files.IsFile("C:\\Run\\.HIDDEN.exe"));
  EXPECT_FALSE(files.IsFile("C:\\Run\\Folder.exe"));
  EXPECT_TRUE(files.IsFolder("C:\\run\\folder.EXE"));
  EXPECT_TRUE(files.IsFolder("C:\\"));
  EXPECT_FALSE(files.IsFolder("Q:\\"));
}

TYPED_TEST(FileSystemContract, StatusTellsLengthTimeAndVersion) {
  TypeParam& disk = this->disk_;
  FileSystem& files = this->files();
  disk.Write("a.txt", "12345");
  disk.MakeFolder("Folder");
  EXPECT_EQ(files.Length("C:\\A.TXT"), 5);
  EXPECT_EQ(files.Length("C:\\Folder"), std::nullopt);
  EXPECT_EQ(files.Length("C:\\missing"), std::nullopt);
  EXPECT_EQ(files.Status("C:\\Folder\\..\\..\\a.txt")->length, 5);
  // A path with a NUL in it names nothing, least of all what comes before.
  using std::string_view_literals::operator""sv;
  const std::string_view cut = "C:\\a.txt\0.bak"sv;
  EXPECT_EQ(files.Status(cut), std::nullopt);
  EXPECT_EQ(files.Probe(cut), "");
  EXPECT_EQ(files.OpenForWriting(cut, {}), nullptr);
  EXPECT_FALSE(files.Delete(cut));
  EXPECT_EQ(disk.Read("a.txt"), "12345");

  disk.SetModified("a.txt", {2021, 3, 4, 5, 6, 7});
  const std::optional<LocalTime> modified = files.LastModified("c:\\a.txt");
  ASSERT_TRUE(modified.has_value());
  EXPECT_EQ(DateTimeText(*modified), "03-04-2021 05:06:07");
  EXPECT_EQ(files.LastModified("C:\\missing"), std::nullopt);

  // Writing makes another version, whatever the length.
  const FileVersion before = files.Status("C:\\a.txt")->version;
  std::unique_ptr<OutputFile> out = files.OpenForWriting("C:\\a.txt", {});
  ASSERT_NE(out, nullptr);
  out->Write("54321");
  ASSERT_TRUE(out->Close());
  EXPECT_FALSE(files.Status("C:\\a.txt")->version == before);
}

TYPED_TEST(FileSystemContract, NewNamesKeepTheCaseGivenAndOldOnesTheirs) {
  TypeParam& disk = this->disk_;
  FileSystem& files = this->files();
  disk.MakeFolder("Out");
  ASSERT_TRUE(files.WriteLines("C:\\OUT\\NewFile.TXT", WriteMode::kReplace, {},
                               {"first"}));
  EXPECT_EQ(files.Probe("C:\\out\\newfile.txt"), "NewFile.TXT");
  ASSERT_TRUE(files.WriteLines("C:\\out\\NEWFILE.txt", WriteMode::kAppend, {},
                               {"second"}));
  EXPECT_EQ(files.Probe("C:\\Out\\*"), "NewFile.TXT");
  EXPECT_EQ(disk.Read("Out/NewFile.TXT"), "first\r\nsecond\r\n");

  EXPECT_TRUE(files.MakeFolder("C:\\out\\Sub\\Deeper"));
  EXPECT_TRUE(files.IsFolder("C:\\Out\\SUB\\deeper"));
  EXPECT_TRUE(files.MakeFolder("C:\\OUT\\SUB"));  // already there
  EXPECT_FALSE(files.MakeFolder("C:\\Out\\NewFile.TXT\\Below"));
  EXPECT_FALSE(files.MakeFolder("Q:\\Out"));
  EXPECT_TRUE(files.CanMakeFilesIn("C:\\OUT\\sub"));
  EXPECT_FALSE(files.CanMakeFilesIn("C:\\Out\\Missing"));
}

TYPED_TEST(FileSystemContract, DeleteRenameAndLink) {
  TypeParam& disk = this->disk_;
  FileSystem& files = this->files();
  disk.Write("a.txt", "first");
  disk.Write("c.txt", "second");
  disk.MakeFolder("Folder");

  EXPECT_TRUE(files.Link("C:\\A.TXT", "C:\\b.txt"));
  EXPECT_EQ(disk.Read("b.txt"), "first");
  EXPECT_EQ(files.Status("C:\\a.txt")->version.inode,
            files.Status("C:\\b.txt")->version.inode);
  EXPECT_FALSE(files.Link("C:\\c.txt", "C:\\B.TXT"));  // b.txt exists
  EXPECT_EQ(disk.Read("b.txt"), "first");

  // The target's name is matched without regard to case too, so the
  // existing file is replaced rather than joined by a second one.
  EXPECT_TRUE(files.Rename("C:\\C.txt", "C:\\A.TXT"));
  EXPECT_EQ(disk.Read("a.txt"), "second");
  EXPECT_FALSE(disk.Exists("c.txt"));
  EXPECT_EQ(files.Probe("C:\\*.TXT"), "a.txt");
  EXPECT_FALSE(files.Rename("C:\\c.txt", "C:\\d.txt"));
  EXPECT_FALSE(files.Rename("C:\\a.txt", "C:\\Folder"));
  EXPECT_FALSE(files.Rename("C:\\a.txt", "C:\\Missing\\a.txt"));

  EXPECT_TRUE(files.Delete("C:\\A.txt"));
  EXPECT_FALSE(disk.Exists("a.txt"));
  EXPECT_FALSE(files.Delete("C:\\A.txt"));
  EXPECT_FALSE(files.Delete("C:\\Folder"));
  EXPECT_FALSE(files.Delete("Q:\\b.txt"));
  EXPECT_TRUE(disk.Exists("Folder"));
}

TYPED_TEST(FileSystemContract, OpeningHonoursItsModesAndRefusedLinks) {
  TypeParam& disk = this->disk_;
  FileSystem& files = this->files();
  disk.Write("real.txt", "secret");
  disk.PlantLink("link.txt", "real.txt");
  disk.MakeFolder("Folder");
  const OpenOptions no_link{.refuse_link = true};

  EXPECT_EQ(files.OpenForReading("C:\\LINK.TXT", no_link), nullptr);
  EXPECT_EQ(files.OpenForWriting("C:\\link.txt", no_link), nullptr);
  EXPECT_EQ(files.OpenForAppending("C:\\link.txt", no_link), nullptr);
  EXPECT_EQ(disk.Read("real.txt"), "secret");
  EXPECT_EQ(this->ReadThrough("C:\\LINK.TXT"), "secret");
  EXPECT_TRUE(files.IsFile("C:\\link.txt"));
  EXPECT_TRUE(files.EntryStatus("C:\\link.txt")->is_link);
  EXPECT_FALSE(files.EntryStatus("C:\\link.txt")->is_file);
  EXPECT_TRUE(files.EntryStatus("C:\\real.txt")->is_file);

  EXPECT_EQ(files.OpenForReading("C:\\absent.txt", {}), nullptr);
  EXPECT_FALSE(disk.Exists("absent.txt"));
  EXPECT_EQ(this->ReadThrough("C:\\Made.txt", {.create = true}), "");
  EXPECT_TRUE(disk.Exists("Made.txt"));
  EXPECT_EQ(files.OpenForReading("C:\\Folder", {}), nullptr);
  EXPECT_EQ(files.OpenForWriting("C:\\Folder", {}), nullptr);

  EXPECT_EQ(files.OpenWritable("C:\\real.txt", WriteMode::kCreateNew, {}),
            nullptr);
  EXPECT_TRUE(
      files.WriteLines("C:\\New.txt", WriteMode::kCreateNew, {}, {"new"}));
  EXPECT_TRUE(files.WriteLines("C:\\REAL.txt", WriteMode::kReplace, {}, {}));
  EXPECT_EQ(disk.Read("real.txt"), "");
  EXPECT_EQ(disk.Read("New.txt"), "new\r\n");

  // Written over from the start; what is left of the old bytes goes only
  // when the writer cuts it off.
  std::unique_ptr<WritableFile> over =
      files.OpenWritable("C:\\NEW.txt", WriteMode::kOverwrite, {});
  ASSERT_NE(over, nullptr);
  EXPECT_TRUE(over->Write("old"));
  EXPECT_EQ(disk.Read("New.txt"), "old\r\n");
  EXPECT_TRUE(over->Truncate(3));
  EXPECT_TRUE(over->Close());
  EXPECT_EQ(disk.Read("New.txt"), "old");
  // Bytes that stand as written already may be left alone; what follows
  // the first difference lands in its own place all the same.
  over = files.OpenWritable("C:\\NEW.txt", WriteMode::kOverwrite, {});
  ASSERT_NE(over, nullptr);
  EXPECT_TRUE(over->Write("ol"));
  EXPECT_TRUE(over->Write("DE"));
  EXPECT_TRUE(over->Write("R"));
  EXPECT_TRUE(over->Close());
  EXPECT_EQ(disk.Read("New.txt"), "olDER");
  // Bytes passed over as known to stand there already stay as they are; a
  // file that cannot pass over declines, and the writer writes them. None
  // passes over more than it holds.
  over = files.OpenWritable("C:\\NEW.txt", WriteMode::kOverwrite, {});
  ASSERT_NE(over, nullptr);
  EXPECT_FALSE(over->PassOverSame(6));
  if (!over->PassOverSame(2)) {
    EXPECT_TRUE(over->Write("ol"));
  }
  EXPECT_TRUE(over->Write("d!"));
  EXPECT_TRUE(over->Truncate(4));
  EXPECT_TRUE(over->Close());
  EXPECT_EQ(disk.Read("New.txt"), "old!");
  // The same over more than the file reads back at once, in small writes.
  std::string long_text(600'000, 'x');
  for (size_t i = 0; i < long_text.size(); i += 7) long_text[i] = 'y';
  disk.Write("Long.txt", long_text);
  long_text[262'900] =
      'z';  // past the first piece read back, in a write across it
  over = files.OpenWritable("C:\\Long.txt", WriteMode::kOverwrite, {});
  ASSERT_NE(over, nullptr);
  for (size_t i = 0; i < long_text.size(); i += 1000) {
    EXPECT_TRUE(over->Write(std::string_view(long_text).substr(i, 1000)));
  }
  EXPECT_TRUE(over->Close());
  EXPECT_EQ(disk.Read("Long.txt"), long_text);
  EXPECT_NE(files.OpenWritable("C:\\Fresh.txt", WriteMode::kOverwrite, {}),
            nullptr);
  EXPECT_EQ(disk.Read("Fresh.txt"), "");
}

// A link is followed only to an ordinary file of its own owner: one a
// stranger planted, or one that leads to what is no file, leads nowhere.
TYPED_TEST(FileSystemContract, ALinkLeadsOnlyToAnOrdinaryFileOfItsOwner) {
  TypeParam& disk = this->disk_;
  FileSystem& files = this->files();
  disk.Write("Data/bank.dat", "A=1");
  disk.MakeFolder("Folder");
  disk.PlantFifo("fifo");
  disk.PlantLink("own", "Data/bank.dat");
  disk.PlantLink("chain", "own");
  disk.PlantLink("folder", "Folder");
  disk.PlantLink("pipe", "fifo");
  disk.PlantLink("dangling", "missing");
  EXPECT_EQ(files.LinkTarget("C:\\own"),
            TypeParam::DriveForm("Data\\bank.dat"));
  EXPECT_EQ(files.LinkTarget("C:\\CHAIN"),
            TypeParam::DriveForm("Data\\bank.dat"));
  EXPECT_EQ(files.LinkTarget("C:\\Data\\bank.dat"), "C:\\Data\\bank.dat");
  for (const char* refused : {"C:\\folder", "C:\\pipe", "C:\\dangling"}) {
    EXPECT_EQ(files.LinkTarget(refused), std::nullopt) << refused;
  }
  // A FIFO is no file: never opened, never waited on.
  EXPECT_FALSE(files.IsFile("C:\\fifo"));
  EXPECT_EQ(files.Probe("C:\\fifo"), "");
  EXPECT_EQ(files.OpenForReading("C:\\fifo", {}), nullptr);
  EXPECT_EQ(files.OpenForWriting("C:\\pipe", {}), nullptr);

  if (!TypeParam::CanGiveAway()) GTEST_SKIP() << "only root gives files away";
  disk.GiveAway("chain");
  EXPECT_EQ(files.LinkTarget("C:\\chain"), std::nullopt);
  disk.GiveAway("Data/bank.dat");
  EXPECT_EQ(files.LinkTarget("C:\\own"), std::nullopt);
}

TYPED_TEST(FileSystemContract, ASwapFileIsHeldWhileItsLockLives) {
  TypeParam& disk = this->disk_;
  FileSystem& files = this->files();
  disk.MakeFolder("Temp");
  {
    const LockClaim claim = files.ClaimSwap("C:\\Temp\\DSP.TMP");
    ASSERT_EQ(claim.outcome, LockClaim::Outcome::kTaken);
    ASSERT_NE(claim.lock, nullptr);
    EXPECT_TRUE(disk.Exists("Temp/DSP.TMP"));
    // Another claim cannot take its lock: a living holder.
    const LockClaim second = files.ClaimSwap("C:\\temp\\DSP.TMP");
    EXPECT_EQ(second.outcome, LockClaim::Outcome::kHeldByLiveProcess);
    EXPECT_EQ(second.lock, nullptr);
  }
  EXPECT_FALSE(disk.Exists("Temp/DSP.TMP"));

  // One nobody holds was left by a process that died, and is removed; so
  // is a link a stranger planted, whose target stays.
  disk.Write("Temp/DSP.TMP", "left behind");
  EXPECT_EQ(files.ClaimSwap("C:\\Temp\\DSP.TMP").outcome,
            LockClaim::Outcome::kLeftByDeadProcess);
  EXPECT_FALSE(disk.Exists("Temp/DSP.TMP"));
  disk.Write("victim.txt", "precious");
  disk.PlantLink("Temp/DSP.TMP", "victim.txt");
  EXPECT_EQ(files.ClaimSwap("C:\\Temp\\DSP.TMP").outcome,
            LockClaim::Outcome::kLeftByDeadProcess);
  EXPECT_FALSE(disk.Exists("Temp/DSP.TMP"));
  EXPECT_EQ(disk.Read("victim.txt"), "precious");
  EXPECT_EQ(files.ClaimSwap("C:\\Temp\\DSP.TMP").outcome,
            LockClaim::Outcome::kTaken);

  // A folder at the name, or no folder to hold it, is no swap file.
  disk.MakeFolder("Temp/FOLDER.TMP");
  EXPECT_EQ(files.ClaimSwap("C:\\Temp\\FOLDER.TMP").outcome,
            LockClaim::Outcome::kUnavailable);
  EXPECT_TRUE(files.IsFolder("C:\\Temp\\FOLDER.TMP"));
  EXPECT_EQ(files.ClaimSwap("C:\\Missing\\DSP.TMP").outcome,
            LockClaim::Outcome::kUnavailable);
}

// A run keeps its temporary files where no other user may write.
TYPED_TEST(FileSystemContract, ASharedFolderGivesEachUserAFolderOfTheirOwn) {
  TypeParam& disk = this->disk_;
  FileSystem& files = this->files();
  disk.MakeFolder("Mine");
  disk.MakeFolder("Shared");
  disk.Share("Shared");
  std::string in_the_way;
  EXPECT_EQ(files.OwnTemporaryFolder("C:\\Mine", &in_the_way), "C:\\Mine");
  const std::optional<std::string> own =
      files.OwnTemporaryFolder("C:\\Shared", &in_the_way);
  ASSERT_TRUE(own.has_value());
  EXPECT_TRUE(own->starts_with("C:\\Shared\\trovane-")) << *own;
  EXPECT_TRUE(files.IsFolder(*own));
  // The same folder on the next run.
  EXPECT_EQ(files.OwnTemporaryFolder("C:\\Shared", &in_the_way), own);

  if (!TypeParam::CanGiveAway()) GTEST_SKIP() << "only root gives files away";
  std::string relative = own->substr(3);
  std::replace(relative.begin(), relative.end(), '\\', '/');
  disk.GiveAway(relative);
  EXPECT_EQ(files.OwnTemporaryFolder("C:\\Shared", &in_the_way), std::nullopt);
  EXPECT_EQ(in_the_way, *own);
}

TYPED_TEST(FileSystemContract, AFolderLockHasOneHolderAtATime) {
  TypeParam& disk = this->disk_;
  FileSystem& files = this->files();
  disk.MakeFolder("Data");
  {
    const LockClaim first = files.ClaimFolderLock("C:\\Data\\x.dat");
    ASSERT_EQ(first.outcome, LockClaim::Outcome::kTaken);
    EXPECT_EQ(files.ClaimFolderLock("C:\\DATA\\other.dat").outcome,
              LockClaim::Outcome::kHeldByLiveProcess);
    EXPECT_EQ(files.ClaimFolderLock("C:\\elsewhere.dat").outcome,
              LockClaim::Outcome::kTaken);
  }
  EXPECT_EQ(files.ClaimFolderLock("C:\\Data\\x.dat").outcome,
            LockClaim::Outcome::kTaken);
  EXPECT_EQ(files.ClaimFolderLock("C:\\Missing\\x.dat").outcome,
            LockClaim::Outcome::kUnavailable);
  EXPECT_EQ(files.Probe("C:\\Data\\*"), "");  // nothing visible left behind
}

TYPED_TEST(FileSystemContract, AWatchIsReadyOnceAFileIsWrittenInTheFolder) {
  TypeParam& disk = this->disk_;
  FileSystem& files = this->files();
  disk.MakeFolder("Temp");
  const std::unique_ptr<FolderWatch> watch = files.WatchFolder("C:\\TEMP");
  if (!TypeParam::kWatches) {
    // Without a watch a wait looks as often as it can, which is all it
    // needs to be right.
    EXPECT_EQ(watch, nullptr);
    return;
  }
  ASSERT_NE(watch, nullptr);
  const Waitable waker = watch->Waker();
  ASSERT_TRUE(waker.valid());
  EXPECT_EQ(WaitForAny({&waker, 1}, std::chrono::milliseconds(0)),
            std::nullopt);
  // Reading, or making a file empty to read it, wakes nobody.
  EXPECT_EQ(this->ReadThrough("C:\\Temp\\Signal.txt", {.create = true}), "");
  EXPECT_EQ(WaitForAny({&waker, 1}, std::chrono::milliseconds(0)),
            std::nullopt);
  ASSERT_TRUE(files.WriteLines("C:\\Temp\\Signal.txt", WriteMode::kReplace, {},
                               {"OK! "}));
  EXPECT_EQ(WaitForAny({&waker, 1}, std::chrono::seconds(5)),
            std::optional<size_t>(0));
  watch->Drain();
  EXPECT_EQ(WaitForAny({&waker, 1}, std::chrono::milliseconds(0)),
            std::nullopt);
}

}  // namespace
}  // namespace trovane::testing
