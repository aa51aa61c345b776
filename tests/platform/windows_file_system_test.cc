// The Windows disk where it differs from Linux's: bytes as they are, long
// paths, the hidden and system attributes, the probe's wildcards, renames
// that meet an open handle, and the locks on a byte of a file.
#include "platform/windows/windows_file_system.h"

#include <gtest/gtest.h>
#include <windows.h>

#include <chrono>
#include <string>
#include <thread>

#include "platform/windows/wide_text.h"
#include "tests/support/windows_sandbox.h"

namespace trovane {
namespace {

using Outcome = LockClaim::Outcome;

class WindowsFileSystemTest : public ::testing::Test {
 protected:
  std::string Path(std::string_view relative) const {
    return sandbox_.Path(relative);
  }
  void SetAttributes(std::string_view relative, DWORD attributes) const {
    SetFileAttributesW(WideText(Path(relative)).c_str(), attributes);
  }
  DWORD Attributes(std::string_view relative) const {
    return GetFileAttributesW(WideText(Path(relative)).c_str());
  }
  // Opens the file as another program might: sharing reading only, so that
  // nobody may rename or delete it while it is open.
  HANDLE HoldOpen(std::string_view relative) const {
    return CreateFileW(WideText(Path(relative)).c_str(), GENERIC_READ,
                       FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
  }

  testing::WindowsSandbox sandbox_;
  WindowsFileSystem files_{sandbox_.root()};
};

TEST_F(WindowsFileSystemTest, BytesGoThroughAsTheyAreInEveryMode) {
  const std::string path = Path("Run\\Map.txt");
  ASSERT_TRUE(files_.MakeFolder(Path("Run")));
  ASSERT_TRUE(files_.WriteLines(path, WriteMode::kReplace, {}, {"a", "b\n"}));
  EXPECT_EQ(sandbox_.Read("Run\\Map.txt"), "a\r\nb\n\r\n");
  ASSERT_TRUE(files_.WriteLines(path, WriteMode::kAppend, {}, {"c"}));
  EXPECT_EQ(sandbox_.Read("Run\\Map.txt"), "a\r\nb\n\r\nc\r\n");
  EXPECT_FALSE(files_.OpenWritable(path, WriteMode::kCreateNew, {}));

  std::unique_ptr<InputFile> read = files_.OpenForReading(path, {});
  ASSERT_NE(read, nullptr);
  std::string line;
  ASSERT_TRUE(read->ReadLine(&line));
  EXPECT_EQ(line, "a");

  // Emptied where it stands: a hidden file stays hidden, and is written.
  SetAttributes("Run\\Map.txt", FILE_ATTRIBUTE_HIDDEN);
  ASSERT_TRUE(files_.WriteLines(path, WriteMode::kReplace, {}, {"d"}));
  EXPECT_EQ(sandbox_.Read("Run\\Map.txt"), "d\r\n");
  EXPECT_NE(Attributes("Run\\Map.txt") & FILE_ATTRIBUTE_HIDDEN, 0U);
}

TEST_F(WindowsFileSystemTest, AppendsLandAtTheEndWhateverElseWroteMeanwhile) {
  const std::string path = Path("Log.txt");
  std::unique_ptr<WritableFile> first =
      files_.OpenWritable(path, WriteMode::kAppend, {});
  std::unique_ptr<WritableFile> second =
      files_.OpenWritable(path, WriteMode::kAppend, {});
  ASSERT_TRUE(first && second);
  EXPECT_TRUE(first->Write("one\r\n"));
  EXPECT_TRUE(second->Write("two\r\n"));
  EXPECT_TRUE(first->Write("three\r\n"));
  // An append that failed half-way is cut back.
  EXPECT_TRUE(first->Truncate(5));
  first->Close();
  second->Close();
  EXPECT_EQ(sandbox_.Read("Log.txt"), "one\r\n");
}

TEST_F(WindowsFileSystemTest, PathsRunPastTheOldLimitAndAreTakenApartFirst) {
  std::string deep = sandbox_.root();
  while (deep.size() < 400) deep += "\\A folder name of some length";
  ASSERT_TRUE(files_.MakeFolder(deep));
  const std::string file = deep + "\\FileList.txt";
  ASSERT_TRUE(files_.WriteLines(file, WriteMode::kReplace, {}, {"x"}));
  EXPECT_EQ(files_.Probe(file), "FileList.txt");
  ASSERT_TRUE(files_.Status(file));
  EXPECT_EQ(files_.Length(file), 3);
  // "/", "." and ".." are the program's to take out: the long form takes
  // every name literally.
  EXPECT_TRUE(files_.IsFile(deep + "\\.\\sub\\..\\FileList.txt"));
  EXPECT_TRUE(files_.IsFile(sandbox_.root() + "/" +
                            deep.substr(sandbox_.root().size() + 1) +
                            "/FileList.txt"));
  EXPECT_TRUE(files_.Rename(file, deep + "\\Renamed.txt"));
  EXPECT_TRUE(files_.Delete(deep + "\\Renamed.txt"));
  EXPECT_FALSE(files_.IsFile(deep + "\\Renamed.txt"));
  // A device name is a plain name in the long form.
  EXPECT_TRUE(files_.WriteLines(Path("NUL"), WriteMode::kReplace, {}, {"n"}));
  EXPECT_EQ(files_.Length(Path("NUL")), 3);
}

TEST_F(WindowsFileSystemTest,
       ProbeFindsTheFirstVisibleOrdinaryFileInByteOrder) {
  for (const char* name : {"b.txt", "A.txt", "hidden.txt", "system.txt"}) {
    sandbox_.Write(name, "x");
  }
  sandbox_.MakeFolder("folder.txt");
  SetAttributes("hidden.txt", FILE_ATTRIBUTE_HIDDEN);
  SetAttributes("system.txt", FILE_ATTRIBUTE_SYSTEM);
  struct Case {
    const char* pattern;
    const char* found;
  };
  for (const Case& c : std::initializer_list<Case>{{"*.txt", "A.txt"},
                                                   {"?.TXT", "A.txt"},
                                                   {"b*", "b.txt"},
                                                   {"a.TXT", "A.txt"},
                                                   {"hidden.txt", ""},
                                                   {"system.txt", ""},
                                                   {"folder.txt", ""},
                                                   {"h*", ""},
                                                   {"*.dat", ""}}) {
    SCOPED_TRACE(c.pattern);
    EXPECT_EQ(files_.Probe(Path(c.pattern)), c.found);
  }
  // Hidden files are still files for everything else.
  EXPECT_TRUE(files_.IsFile(Path("hidden.txt")));
  EXPECT_TRUE(files_.IsFolder(Path("folder.txt")));
}

TEST_F(WindowsFileSystemTest, RenameOverAnOpenFileWaitsBrieflyForItsHolder) {
  sandbox_.Write("Old.dat", "old");
  sandbox_.Write("New.dat", "new");
  const HANDLE held = HoldOpen("Old.dat");
  ASSERT_NE(held, INVALID_HANDLE_VALUE);
  std::thread release([held] {
    std::this_thread::sleep_for(std::chrono::milliseconds(15));
    CloseHandle(held);
  });
  EXPECT_TRUE(files_.Rename(Path("New.dat"), Path("Old.dat")));
  release.join();
  EXPECT_EQ(sandbox_.Read("Old.dat"), "new");

  // Held for good: a failure, after a few tens of milliseconds.
  sandbox_.Write("New.dat", "newer");
  const HANDLE kept = HoldOpen("Old.dat");
  const auto start = std::chrono::steady_clock::now();
  EXPECT_FALSE(files_.Rename(Path("New.dat"), Path("Old.dat")));
  EXPECT_FALSE(files_.Delete(Path("Old.dat")));
  EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(1));
  CloseHandle(kept);
  EXPECT_EQ(sandbox_.Read("Old.dat"), "new");
}

TEST_F(WindowsFileSystemTest, SwapFileAppearsLockedAndGoesWithItsLock) {
  const std::string swap = Path("DSP.Root.Trovane.TMP");
  LockClaim first = files_.ClaimSwap(swap);
  ASSERT_EQ(first.outcome, Outcome::kTaken);
  EXPECT_TRUE(files_.IsFile(swap));
  // Another claim, as another process's, finds it held.
  EXPECT_EQ(files_.ClaimSwap(swap).outcome, Outcome::kHeldByLiveProcess);
  first.lock.reset();
  EXPECT_FALSE(files_.IsFile(swap));

  // A swap file nobody holds was left by a process that died.
  sandbox_.Write("DSP.Root.Trovane.TMP", "");
  EXPECT_EQ(files_.ClaimSwap(swap).outcome, Outcome::kLeftByDeadProcess);
  EXPECT_FALSE(files_.IsFile(swap));
  EXPECT_EQ(files_.ClaimSwap(swap).outcome, Outcome::kTaken);
  // Nothing of the claims is left beside it.
  EXPECT_EQ(files_.Probe(Path(".trovane-swap*")), "");
}

TEST_F(WindowsFileSystemTest, FolderLockIsAByteOfAHiddenLockFileInTheFolder) {
  sandbox_.MakeFolder("Trovane");
  const std::string databank = Path("Trovane\\Trovane");
  LockClaim first = files_.ClaimFolderLock(databank);
  ASSERT_EQ(first.outcome, Outcome::kTaken);
  EXPECT_EQ(files_.ClaimFolderLock(databank).outcome,
            Outcome::kHeldByLiveProcess);
  EXPECT_NE(Attributes("Trovane\\.trovane-lock") & FILE_ATTRIBUTE_HIDDEN, 0U);
  first.lock.reset();
  EXPECT_EQ(files_.ClaimFolderLock(databank).outcome, Outcome::kTaken);
  EXPECT_EQ(files_.ClaimFolderLock(Path("Gone\\Trovane")).outcome,
            Outcome::kUnavailable);
}

TEST_F(WindowsFileSystemTest, StatusTellsFilesFromFoldersAndSeesEveryWrite) {
  sandbox_.Write("Trovane", "Key=Value\r\n");
  const std::optional<FileStatus> before = files_.Status(Path("TROVANE"));
  ASSERT_TRUE(before);
  EXPECT_TRUE(before->is_file);
  EXPECT_FALSE(before->is_folder);
  EXPECT_EQ(before->length, 11);
  EXPECT_EQ(files_.Status(Path("Trovane"))->version, before->version);
  ASSERT_TRUE(
      files_.WriteLines(Path("Trovane"), WriteMode::kAppend, {}, {"More=1"}));
  EXPECT_NE(files_.Status(Path("Trovane"))->version, before->version);
  EXPECT_TRUE(files_.Status(sandbox_.root())->is_folder);
  EXPECT_FALSE(files_.Status(Path("Gone")));
}

TEST_F(WindowsFileSystemTest, FolderWatchWakesForAWrittenFileUntilDrained) {
  sandbox_.MakeFolder("Temp");
  const std::unique_ptr<FolderWatch> watch = files_.WatchFolder(Path("Temp"));
  ASSERT_NE(watch, nullptr);
  const Waitable wakers[] = {watch->Waker()};
  EXPECT_EQ(WaitForAny(wakers, std::chrono::milliseconds(0)), std::nullopt);
  ASSERT_TRUE(files_.WriteLines(Path("Temp\\Signal.txt"), WriteMode::kReplace,
                                {}, {"OK!"}));
  EXPECT_EQ(WaitForAny(wakers, std::chrono::seconds(5)), 0U);
  watch->Drain();
  EXPECT_EQ(WaitForAny(wakers, std::chrono::milliseconds(50)), std::nullopt);
}

TEST_F(WindowsFileSystemTest, FoldersLinksAndAttributesOfARewrite) {
  EXPECT_TRUE(files_.CanMakeFilesIn(sandbox_.root()));
  EXPECT_FALSE(files_.CanMakeFilesIn(Path("Gone")));
  sandbox_.Write("Trovane", "old");
  EXPECT_FALSE(files_.CanMakeFilesIn(Path("Trovane")));

  sandbox_.Write(".Trovane.trovane-new", "new");
  EXPECT_FALSE(files_.Link(Path(".Trovane.trovane-new"), Path("Trovane")));
  EXPECT_TRUE(files_.Link(Path(".Trovane.trovane-new"), Path("Other")));
  EXPECT_EQ(sandbox_.Read("Other"), "new");

  // A rewrite keeps the databank hidden, but never makes its staging file
  // read-only, which could then not be removed.
  SetAttributes("Trovane", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_READONLY);
  files_.CopyAttributes(Path("Trovane"), Path(".Trovane.trovane-new"));
  const DWORD copied = Attributes(".Trovane.trovane-new");
  EXPECT_NE(copied & FILE_ATTRIBUTE_HIDDEN, 0U);
  EXPECT_EQ(copied & FILE_ATTRIBUTE_READONLY, 0U);
  EXPECT_TRUE(files_.Delete(Path(".Trovane.trovane-new")));
  EXPECT_EQ(files_.LinkTarget(Path("Trovane")), Path("Trovane"));
  SetAttributes("Trovane", FILE_ATTRIBUTE_NORMAL);
}

}  // namespace
}  // namespace trovane
