// Drive-form paths and the disk behind them: the drive table, names matched
// without regard to case, the file probe and the file operations.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <filesystem>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <utility>

#include "platform/file_system.h"
#include "platform/index_format.h"
#include "platform/linux/drive_map.h"
#include "platform/linux/linux_file_system.h"
#include "platform/linux/linux_index_files.h"
#include "platform/text.h"
#include "platform/time_text.h"
#include "tests/support/fakes.h"
#include "tests/support/sandbox.h"

namespace trovane {
namespace {

using ::trovane::testing::FakeEnvironment;
using ::trovane::testing::Sandbox;

// The map FromEnvironment() makes, or the message it gives.
std::string MapOrError(const FakeEnvironment& environment) {
  std::string error;
  const std::optional<DriveMap> map =
      DriveMap::FromEnvironment(environment, &error);
  if (!map) return error;
  std::string letters;
  for (char letter = 'A'; letter <= 'Z'; ++letter) {
    if (const std::string* folder = map->FolderOf(letter)) {
      letters += std::string(1, letter) + "=" + *folder + " ";
    }
  }
  return letters;
}

std::string Canonical(const std::string& path) {
  return std::filesystem::canonical(path).string();
}

class DriveSourceTest : public ::testing::Test {
 protected:
  // A Wine prefix in the sandbox whose dosdevices folder holds `links`
  // (name, target).
  std::string MakePrefix(
      std::string_view name,
      std::initializer_list<std::pair<const char*, std::string>> links) {
    sandbox_.MakeFolder(std::string(name) + "/dosdevices");
    for (const auto& [link, target] : links) {
      std::filesystem::create_symlink(
          target, sandbox_.Path(std::string(name) + "/dosdevices/" + link));
    }
    return sandbox_.Path(name);
  }

  Sandbox sandbox_;
  FakeEnvironment environment_{"/opt/trovane"};
};

TEST_F(DriveSourceTest, DriveVariablesAloneMakeTheMap) {
  EXPECT_EQ(MapOrError(environment_), "Z=/ ");
  sandbox_.MakeFolder("c");
  sandbox_.MakeFolder("d");
  environment_.Set("WINEPREFIX", MakePrefix("wine", {{"e:", "/"}}));
  environment_.Set("VEK_DRIVE_C", sandbox_.Path("c"));
  environment_.Set("VEK_DRIVE_D", sandbox_.Path("d") + "//");
  EXPECT_EQ(MapOrError(environment_),
            "C=" + sandbox_.Path("c") + " D=" + sandbox_.Path("d") + " Z=/ ");
  environment_.Set("VEK_DRIVE_Z", sandbox_.Path("d"));
  EXPECT_EQ(MapOrError(environment_), "C=" + sandbox_.Path("c") +
                                          " D=" + sandbox_.Path("d") +
                                          " Z=" + sandbox_.Path("d") + " ");
}

TEST_F(DriveSourceTest, AVariableThatNamesNoFolderIsAnError) {
  sandbox_.Write("file", "");
  environment_.Set("VEK_DRIVE_C", sandbox_.root());
  for (const std::string& value :
       {std::string(), std::string("rel/x"), sandbox_.Path("missing"),
        sandbox_.Path("file")}) {
    environment_.Set("VEK_DRIVE_D", value);
    EXPECT_EQ(MapOrError(environment_),
              "VEK_DRIVE_D is \"" + value +
                  "\": set it to the absolute path of an existing folder, or "
                  "unset it.");
  }
}

TEST_F(DriveSourceTest, AWinePrefixMapsTheLinksToFoldersInDosdevices) {
  sandbox_.MakeFolder("wine/drive_c");
  sandbox_.MakeFolder("data");
  sandbox_.Write("plain", "");
  const std::string prefix =
      MakePrefix("wine", {{"c:", "../drive_c"},
                          {"c::", sandbox_.Path("plain")},
                          {"D:", sandbox_.Path("data")},
                          {"e:", "missing"},
                          {"f:", sandbox_.Path("plain")},
                          {"g", "/"}});
  sandbox_.Write("wine/dosdevices/h:", "");
  environment_.Set("WINEPREFIX", prefix);
  EXPECT_EQ(MapOrError(environment_),
            "C=" + Canonical(prefix + "/drive_c") +
                " D=" + Canonical(sandbox_.Path("data")) + " Z=/ ");

  MakePrefix("other", {{"z:", "../../data"}});
  environment_.Set("WINEPREFIX", sandbox_.Path("other"));
  EXPECT_EQ(MapOrError(environment_),
            "Z=" + Canonical(sandbox_.Path("data")) + " ");
}

TEST_F(DriveSourceTest, ThePrefixIsWineprefixElseDotWineInHome) {
  MakePrefix("home/.wine", {{"c:", "/"}});
  MakePrefix("wine", {{"d:", "/"}});
  sandbox_.MakeFolder("bare");
  EXPECT_EQ(MapOrError(environment_), "Z=/ ") << "no HOME, no prefix";
  environment_.Set("HOME", sandbox_.Path("home"));
  EXPECT_EQ(MapOrError(environment_), "C=/ Z=/ ");
  environment_.Set("WINEPREFIX", sandbox_.Path("wine"));
  EXPECT_EQ(MapOrError(environment_), "D=/ Z=/ ");
  environment_.Set("WINEPREFIX", sandbox_.Path("bare"));
  EXPECT_EQ(MapOrError(environment_), "Z=/ ") << "no dosdevices";
}

// Started from the desktop's menu, the user has no terminal to set a
// variable in: the message says how to make a prefix, and where the menu
// takes a variable.
TEST_F(DriveSourceTest, AnUnmappedDriveCSaysHowToMapIt) {
  constexpr char kSetAVariable[] =
      "set WINEPREFIX to the Wine prefix the VEK programs use (or VEK_DRIVE_C "
      "to the folder that stands for drive C); started from the desktop "
      "menu, set it in the menu entry's command (Exec=env "
      "WINEPREFIX=/path/to/prefix trovane-setup)";
  EXPECT_EQ(DriveCProblem(environment_),
            std::string("drive C is not mapped: neither WINEPREFIX nor HOME is "
                        "set: ") +
                kSetAVariable);
  environment_.Set("HOME", sandbox_.Path("home"));
  EXPECT_EQ(DriveCProblem(environment_),
            "drive C is not mapped: there is no Wine prefix at " +
                sandbox_.Path("home") +
                "/.wine: make one by running winecfg or wineboot once, or " +
                kSetAVariable);
  sandbox_.MakeFolder("bare");
  environment_.Set("WINEPREFIX", sandbox_.Path("bare"));
  EXPECT_EQ(DriveCProblem(environment_),
            "drive C is not mapped: the Wine prefix " + sandbox_.Path("bare") +
                " has no dosdevices/c: that leads to a folder: run wineboot "
                "to repair it, or " +
                kSetAVariable);
  sandbox_.MakeFolder("wine/drive_c");
  environment_.Set("WINEPREFIX", MakePrefix("wine", {{"c:", "../drive_c"}}));
  EXPECT_EQ(DriveCProblem(environment_), "");
  environment_.Set("VEK_DRIVE_D", sandbox_.Path("bare"));
  EXPECT_EQ(DriveCProblem(environment_),
            "drive C is not mapped: the VEK_DRIVE_ variables map the drives, "
            "and VEK_DRIVE_C is not among them: set VEK_DRIVE_C to the folder "
            "that stands for drive C");
}

TEST(DriveMapTest, PathsBecomeLinuxPathsThatStayOnTheirDrive) {
  DriveMap map;
  map.Map('C', "/c");
  map.Map('D', "/d");
  DriveMap no_z = map;
  no_z.Map('Z', "");
  struct Case {
    const DriveMap* map;
    const char* current;
    const char* path;
    const char* root;  // nullptr: on an unmapped drive
    const char* below;
  };
  const Case cases[] = {
      {&map, "/d/work", "C:\\Vek\\Run.exe", "/c", "Vek/Run.exe"},
      {&map, "/d/work", "c:\\\\Vek\\/\\Run.exe\\", "/c", "Vek/Run.exe"},
      {&map, "/d/work", "C:\\", "/c", ""},
      {&map, "/d/work", "C:Games", "/c", "Games"},
      {&map, "/d/work", "C:\\..\\etc", "/c", "etc"},
      {&map, "/d/work", "C:\\a\\..\\..\\b", "/c", "b"},
      {&map, "/d/work", "C:\\.\\a\\.\\b\\..\\.", "/c", "a"},
      {&map, "/d/work", "C:..\\..", "/c", ""},
      {&map, "/d/work", "Q:\\x", nullptr, ""},
      {&map, "/d/work", "\\Temp\\x", "/d", "Temp/x"},
      {&map, "/d/work", "\\..\\x", "/d", "x"},
      {&map, "/d/work", "Sub\\a.txt", "/d", "work/Sub/a.txt"},
      {&map, "/d/work", "..\\..\\..\\etc", "/d", "etc"},
      {&map, "/d//work/", ".\\..\\y", "/d", "y"},
      {&map, "/elsewhere/deep", "..\\..\\..\\etc", "/", "etc"},
      {&map, "/d/work", "/usr//lib/", "/", "usr/lib"},
      {&map, "/d/work", "/../etc", "/", "etc"},
      {&map, "/d/work", "/a/../../b/.", "/", "b"},
      {&no_z, "/elsewhere/deep", "..\\..\\..\\x", "/", "x"},
      {&no_z, "/elsewhere/deep", "\\x", nullptr, ""},
  };
  for (const Case& c : cases) {
    const std::optional<LinuxPath> result = c.map->ToLinux(c.path, c.current);
    if (c.root == nullptr) {
      EXPECT_FALSE(result.has_value()) << c.path;
      continue;
    }
    ASSERT_TRUE(result.has_value()) << c.path;
    EXPECT_EQ(result->root, c.root) << c.path << " in " << c.current;
    EXPECT_EQ(result->below, c.below) << c.path << " in " << c.current;
  }
}

TEST(DriveMapTest, LinuxPathsAreShownInDriveForm) {
  EXPECT_EQ(DriveMap().ToDriveForm("/usr/bin"), "Z:\\usr\\bin");
  DriveMap map;
  map.Map('C', "/home/u");
  map.Map('E', "/home/u/data");
  map.Map('D', "/home/u/data");
  map.Map('F', "/home/us");
  EXPECT_EQ(map.ToDriveForm("/home/u/data/x/y"), "D:\\x\\y");
  EXPECT_EQ(map.ToDriveForm("/home/u/data"), "D:\\");
  EXPECT_EQ(map.ToDriveForm("//home//u///docs/"), "C:\\docs");
  EXPECT_EQ(map.ToDriveForm("/home/user/x"), "Z:\\home\\user\\x");
  EXPECT_EQ(map.ToDriveForm("/"), "Z:\\");
  EXPECT_EQ(map.ToDriveForm("C:\\Vek\\"), "C:\\Vek\\");
  EXPECT_EQ(map.ToDriveForm("relative"), "relative");
}

class SandboxFilesTest : public ::testing::Test {
 protected:
  void Link(std::string_view target, std::string_view name) {
    std::filesystem::create_symlink(target, sandbox_.Path(name));
  }

  Sandbox sandbox_;
  LinuxFileSystem files_ = sandbox_.Files();
  PathView paths_{sandbox_.Drives(), sandbox_.root()};
};

TEST_F(SandboxFilesTest, EveryNameIsMatchedWithoutRegardToCase) {
  sandbox_.Write("Vek/Run/FileList.txt", "x");
  EXPECT_EQ(paths_.ToLinux("C:\\VEK\\RUN\\FILELIST.TXT"),
            sandbox_.Path("Vek/Run/FileList.txt"));
  EXPECT_EQ(paths_.ToLinux("vek\\rUN"), sandbox_.Path("Vek/Run"));
  EXPECT_EQ(paths_.ToLinux("\\VEK"), sandbox_.Path("Vek"));
  EXPECT_TRUE(files_.IsFile("c:\\vek\\run\\filelist.txt"));
  EXPECT_EQ(paths_.ToLinux("Q:\\Vek"), std::nullopt);
}

TEST_F(SandboxFilesTest, SeveralCaseVariantsGiveTheFirstInByteOrder) {
  sandbox_.Write("Dir/data.TXT", "lower");
  sandbox_.Write("Dir/Data.txt", "mixed");
  sandbox_.Write("Dir/DATA.txt", "upper");
  EXPECT_EQ(paths_.ToLinux("C:\\dir\\data.txt"), sandbox_.Path("Dir/DATA.txt"));
  EXPECT_EQ(files_.Probe("C:\\DIR\\DATA.TXT"), "DATA.txt");
  // A name that exists exactly as written is taken as it is.
  EXPECT_EQ(paths_.ToLinux("C:\\DIR\\data.TXT"), sandbox_.Path("Dir/data.TXT"));
}

// The disk's file system keeps the names of the folders it looked in. Its
// own changes are seen at the next look; another process's soon after.
TEST_F(SandboxFilesTest, KeptFolderNamesFollowEveryChange) {
  const auto soon = [] {
    std::this_thread::sleep_for(std::chrono::milliseconds(50));
  };
  sandbox_.Write("Dir/Sub/File.txt", "");
  EXPECT_EQ(files_.Probe("C:\\DIR\\SUB\\FILE.TXT"), "File.txt");
  std::filesystem::rename(sandbox_.Path("Dir/Sub/File.txt"),
                          sandbox_.Path("Dir/Sub/file.TXT"));
  soon();
  EXPECT_EQ(files_.Probe("C:\\DIR\\SUB\\FILE.TXT"), "file.TXT");
  // A folder replaced by another of the same name, with other names in it.
  std::filesystem::rename(sandbox_.Path("Dir/Sub"), sandbox_.Path("Dir/Old"));
  sandbox_.Write("Dir/SUB/Other.txt", "");
  soon();
  EXPECT_EQ(files_.Probe("C:\\DIR\\SUB\\FILE.TXT"), "");
  EXPECT_EQ(files_.Probe("C:\\dir\\sub\\other.txt"), "Other.txt");
  ASSERT_NE(files_.OpenForWriting("C:\\DIR\\SUB\\NEW.TXT", {}), nullptr);
  EXPECT_EQ(files_.Probe("C:\\dir\\sub\\new.txt"), "NEW.TXT");
}

// A listing's index of the folders it read, as the listing writes it
// beside its disk map: Dir's record holds `names`, whatever Dir holds.
void WriteListingIndex(const PathView& paths, const std::string& disk_map,
                       const std::string& dir,
                       std::initializer_list<std::string_view> names) {
  struct stat info;
  ASSERT_EQ(stat(dir.c_str(), &info), 0);
  const FolderStamp stamp{
      info.st_dev, info.st_ino,
      int64_t{info.st_ctim.tv_sec} * 1'000'000'000 + info.st_ctim.tv_nsec,
      int64_t{info.st_mtim.tv_sec} * 1'000'000'000 + info.st_mtim.tv_nsec,
      true};
  // Started well after every change the test makes before it.
  std::string bytes =
      EncodeIndexHeader({"C:\\", stamp.changed_ns + 3'600'000'000'000});
  const uint64_t offset = bytes.size();
  IndexRecordWriter record(stamp, 0, names.size(), &bytes);
  for (const std::string_view name : names) record.Add(name, false);
  record.Seal();
  const uint64_t table = bytes.size();
  bytes += EncodeIndexTable(
      {{stamp.volume, stamp.id, offset, table - offset, {}}}, table, {});
  std::unique_ptr<IndexSink> sink =
      LinuxIndexFiles(paths).StartNext(disk_map, 1);
  ASSERT_NE(sink, nullptr);
  ASSERT_TRUE(sink->Write(bytes));
  ASSERT_TRUE(sink->Commit());
}

// Names looked up without regard to case come from a listing's index while
// the folder stays as the listing found it: here the index holds only one
// of two variants, so the answer tells where it came from.
TEST_F(SandboxFilesTest, ALookUpTakesAnUnchangedFoldersNamesFromTheIndex) {
  sandbox_.Write("Dir/Data.txt", "");
  sandbox_.Write("Dir/data.txt", "");
  sandbox_.Write("Dir/.hidden", "");
  sandbox_.MakeFolder("Temp");
  WriteListingIndex(paths_, "C:\\Temp\\Map.txt", sandbox_.Path("Dir"),
                    {"data.txt"});
  files_.LearnFolderNamesFrom("C:\\Temp\\Map.txt");
  EXPECT_EQ(files_.Probe("C:\\DIR\\DATA.TXT"), "data.txt");
  // A hidden name is not in the index: the folder itself is read for it.
  EXPECT_TRUE(files_.IsFile("C:\\dir\\.HIDDEN"));
  EXPECT_EQ(files_.Probe("C:\\DIR\\DATA.TXT"), "Data.txt");

  LinuxFileSystem changed = sandbox_.Files();
  changed.LearnFolderNamesFrom("C:\\Temp\\Map.txt");
  EXPECT_EQ(changed.Probe("C:\\DIR\\DATA.TXT"), "data.txt");
  // A folder changed since the listing is read again.
  std::this_thread::sleep_for(std::chrono::milliseconds(10));
  sandbox_.Write("Dir/new.txt", "");
  LinuxFileSystem later = sandbox_.Files();
  later.LearnFolderNamesFrom("C:\\Temp\\Map.txt");
  EXPECT_EQ(later.Probe("C:\\DIR\\DATA.TXT"), "Data.txt");
}

TEST_F(SandboxFilesTest, MissingNamesKeepTheCaseGiven) {
  sandbox_.MakeFolder("Out");
  EXPECT_EQ(paths_.ToLinux("C:\\OUT\\Missing\\FILE"),
            sandbox_.Path("Out/Missing/FILE"));
}

// Deeper than the longest path the system takes whole: the names below it
// are still looked up without regard to case, and every operation reaches
// them.
TEST_F(SandboxFilesTest, APathLongerThanTheSystemTakesWholeIsLikeAnyOther) {
  const std::string name(200, 'n');
  std::string folder = "C:\\Deep";
  for (int level = 0; level < 30; ++level) folder += "\\" + name;
  ASSERT_TRUE(files_.MakeFolder(folder));
  const std::string upper = UpperAscii(folder);
  ASSERT_TRUE(files_.WriteLines(upper + "\\bottom", WriteMode::kCreateNew, {},
                                {"line"}));
  EXPECT_EQ(files_.Probe(upper + "\\BOTTOM"), "bottom");
  EXPECT_EQ(files_.Length(upper + "\\Bottom"), 6);
  EXPECT_TRUE(files_.IsFolder(upper));
  EXPECT_TRUE(files_.CanMakeFilesIn(upper));
  EXPECT_TRUE(files_.Link(upper + "\\BOTTOM", folder + "\\copy"));
  EXPECT_TRUE(files_.Delete(upper + "\\COPY"));
  EXPECT_EQ(files_.Probe(folder + "\\copy"), "");
  EXPECT_TRUE(files_.Rename(upper + "\\BOTTOM", folder + "\\moved"));
  EXPECT_EQ(files_.Probe(upper + "\\MOVED"), "moved");
  EXPECT_TRUE(files_.Rename(upper + "\\MOVED", upper + "\\bottom"));
  sandbox_.RemoveChain("Deep", name);
}

}  // namespace
}  // namespace trovane
