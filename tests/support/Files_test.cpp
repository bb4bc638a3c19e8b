// File and folder helpers (path texts and numbered names, deletion and folders,
// waits, file times, handles, the clean-up of old files), the log and the time
// texts.

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <ctime>
#include <filesystem>
#include <limits>
#include <tuple>

#include "common/ScopedEnv.h"
#include "common/TempDir.h"
#include "formats/FileHandle.h"
#include "support/Clock.h"
#include "support/EventPump.h"
#include "support/FileSystem.h"
#include "support/Log.h"
#include "support/TimeText.h"

namespace lumora {
namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<unsigned char>;
using test::ReadFileBytes;
using test::WriteFileBytes;

TEST(Files, ExistenceDeletionAndFolders) {
  test::TempDir dir;
  const std::string con = dir.file("con.wav"), sub = dir.file("sub");
  WriteFileBytes(con, {1});
  EXPECT_EQ(FileDelete(con), 1);  // an ordinary name here: a take named so must really go
  EXPECT_FALSE(fs::exists(con));
  EXPECT_EQ(FolderCreate(sub + "/deeper"), 0);  // one level only
  EXPECT_EQ(FolderCreate(sub + "/"), 1);
  WriteFileBytes(sub + "/a.wav", {1});
  EXPECT_EQ(FolderRemove(sub), 0);
  fs::remove(sub + "/a.wav");
  EXPECT_EQ(FolderRemove(sub + "/"), 1);
  EXPECT_EQ(FolderRemove(sub), 1);  // missing counts as removed
}

// A clock that moves `step` seconds each time window events run.
class WaitTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetActiveClock(&clock);
    SetEventPump([this] {
      ++pumps;
      clock.Advance(step);
    });
  }
  void TearDown() override {
    SetEventPump(nullptr);
    SetActiveClock(nullptr);
  }
  test::TempDir dir;
  ManualClock clock;
  double step = 0.001;
  int pumps = 0;
};

TEST_F(WaitTest, RenameTriesTenTimesUnlessOverwriting) {
  WriteFileBytes(dir.file("a.wav"), {1});
  WriteFileBytes(dir.file("b.wav"), {2});
  EXPECT_EQ(FileRename(dir.file("a.wav"), dir.file("b.wav"), 0), 0);
  // Nine waits of 10, 20, ... 90 ms (cut short by real time on a busy
  // machine), events running all along.
  EXPECT_LT(clock.MonotonicSeconds(), 0.475);
  EXPECT_GT(pumps, 9);
  EXPECT_EQ(ReadFileBytes(dir.file("b.wav")), Bytes{2});
  pumps = 0;
  EXPECT_EQ(FileRename(dir.file("a.wav"), dir.file("b.wav"), 1), 1);
  EXPECT_EQ(ReadFileBytes(dir.file("b.wav")), Bytes{1});
  EXPECT_EQ(pumps, 0);
}

TEST_F(WaitTest, WaitEventsStopsOnceTheTimeIsExceeded) {
  step = 0.125;  // exact in binary
  WaitEvents(250, 0);
  EXPECT_EQ(pumps, 3);  // 250 ms is reached, not exceeded, after two rounds
  step = 0;             // a clock that stands still: real time ends the wait
  WaitEvents(20, 1);
  EXPECT_GT(pumps, 3);
}

TEST(FileTimes, FileDateTextOfEachTimeStyleAndPart) {
  {
    const test::ScopedEnv japan("TZ", "JST-9");  // a POSIX rule: no zone database needed
    tzset();
    test::TempDir dir;
    const std::string path = dir.file("take.wav");
    const std::string before = FileTimeText(std::time(nullptr));
    WriteFileBytes(path, {1});
    constexpr time_t kWritten = 1796443449;  // 2026/12/05 13:04:09 in Japan, accessed 34 hours earlier
    const timespec times[2] = {{kWritten - 122400, 0}, {kWritten, 0}};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
    EXPECT_EQ(FileDateText(path, 2, 2, 2, 0), "13時04分09秒");
    EXPECT_EQ(FileDateText(path, 1, 3, 1, 0), "2026/12/04 03:04:09");
    EXPECT_GE(FileDateText(path, 0, 3, 1, 0), before);  // created during this test
    const int fd = open(path.c_str(), O_RDONLY);
    EXPECT_EQ(FileDateText("", 2, 3, 1, fd + 1), "2026/12/05 13:04:09");
    close(fd);
    EXPECT_EQ(FileDateText(dir.file("missing"), 2, 3, 1, 0), "");
  }
  tzset();  // the zone of the machine again
}

// File handles: how they open, and that a failed write closes them.
bool IsOpen(FileHandle handle) { return handle > 0 && fcntl(handle - 1, F_GETFD) != -1; }

TEST(GetFH, ModesOpenOrCreateButNeverTruncate) {
  test::TempDir dir;
  const std::string existing = dir.file("existing");
  WriteFileBytes(existing, {1, 2, 3});
  for (int32_t mode : {0, 1, 2}) {
    FileHandle h = GetFH(existing, mode);
    ASSERT_TRUE(IsOpen(h)) << mode;
    EXPECT_TRUE(fcntl(h - 1, F_GETFD) & FD_CLOEXEC);
    CloseFH(h);
    EXPECT_EQ(ReadFileBytes(existing), (Bytes{1, 2, 3})) << "mode " << mode;
    EXPECT_EQ(GetFH(dir.path().string(), mode), 0) << "a folder is no file";
  }
  EXPECT_EQ(GetFH(dir.file("missing"), 0) + GetFH(dir.file("missing"), 3), 0);
  EXPECT_EQ(access(dir.file("missing").c_str(), F_OK), -1) << "nothing was created";
}

TEST(WriteMemToFileEX, AppendsOverwritesExtendsAndFailsOnAFullDisk) {
  test::TempDir dir;
  const std::string path = dir.file("created");
  const unsigned char abc[3] = {'a', 'b', 'c'};
  FileHandle h = WriteMemToFileEX(abc, 3, -1, 0, path, 0);  // a missing file is created
  h = WriteMemToFileEX(abc, 2, -1, h, "", 0);
  h = WriteMemToFileEX("Z", 1, 1, h, "", 0);
  EXPECT_EQ(WriteMemToFileEX("Q", 1, 7, h, "", 1), 1);
  EXPECT_EQ(ReadFileBytes(path), (Bytes{'a', 'Z', 'c', 'a', 'b', 0, 0, 'Q'}));
  EXPECT_EQ(WriteMemToFileEX(abc, 3, 0, 0, dir.file("no/folder"), 1), 0);

  FileHandle full = GetFH("/dev/full", 2);
  ASSERT_NE(full, 0);
  const Bytes block(4096, 7);
  EXPECT_EQ(WriteMemToFileEX(block.data(), 4096, -1, full, "", 0), 0);
  EXPECT_FALSE(IsOpen(full));
}


// A folder tree of files last written a given number of days ago.
class CleanupTest : public ::testing::Test {
 protected:
  void Put(const std::string& relative, int64_t daysAgo) {
    const fs::path path = dir.path() / relative;
    fs::create_directories(path.parent_path());
    test::WriteFileBytes(path.string(), {1});
    const timespec when{static_cast<time_t>(std::time(nullptr) - daysAgo * 86400), 0};
    const timespec times[2] = {when, when};
    ASSERT_EQ(utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  }
  bool Has(const std::string& relative) const { return fs::exists(dir.path() / relative); }
  test::TempDir dir;
};

TEST_F(CleanupTest, FolderCleanDeletesOldFilesAndTheFoldersTheyLeaveEmpty) {
  Put("old.log", 100);
  Put("young.log", 10);
  Put("sub/deeper/old.txt", 200);
  Put("mixed/old.txt", 200);
  Put("mixed/young.txt", 1);
  EXPECT_EQ(FolderClean(dir.folder(), 1, 90, "", 0), 1);
  EXPECT_FALSE(Has("old.log") || Has("sub") || Has("mixed/old.txt"));
  EXPECT_TRUE(Has("young.log") && Has("mixed/young.txt"));

  // The extension filter takes files and subfolders alike.
  Put("a.WAV", 100);
  Put("c.mp3", 100);
  Put("x/d.wav", 100);
  Put("set.wav/e.mp3", 0);
  EXPECT_EQ(FolderClean(dir.folder(), 1, 0, "wav", 1), 1);
  EXPECT_FALSE(Has("a.WAV"));
  EXPECT_TRUE(Has("set.wav/e.mp3"));  // noRecurse
  EXPECT_TRUE(Has("c.mp3") && Has("x/d.wav"));
  EXPECT_EQ(FolderHasEntries(dir.folder(), "MP3", 0), 1);
}

TEST_F(CleanupTest, NeitherCleanUpFollowsALinkOutOfTheTree) {
  test::TempDir outside;
  test::WriteFileBytes(outside.file("20200101 - PC - lumora.log"), {1});
  fs::create_directory_symlink(outside.path(), dir.path() / "link");
  EXPECT_EQ(CleanLogFolder(dir.folder(), 0, "PC"), 1);
  EXPECT_TRUE(fs::is_symlink(dir.path() / "link"));
  EXPECT_EQ(FolderClean(dir.folder(), 1, 0, "", 0), 1);
  EXPECT_FALSE(fs::is_symlink(dir.path() / "link"));
  EXPECT_TRUE(fs::exists(outside.file("20200101 - PC - lumora.log")));
}

// The log folder setting may name a folder of the user's own: the start-up
// purge must take nothing but old log files from it.
TEST_F(CleanupTest, CleanLogFolderDeletesOnlyOldLogFiles) {
  const char* const gone[] = {"20260101 - STUDIO1 - lumora.log", "20260101 - STUDIO1 - lumoraB.err",
                              "20250101 - STUDIO1 - lumoraD.log"};
  const char* const kept[] = {"notes.txt", "20260101 - PC - lumora.log",
                              "mixed/20250101 - STUDIO1 - lumora.err", "20260101 - STUDIO1 - lumora.log.bak"};
  for (const char* name : gone) Put(name, 200);
  for (const char* name : kept) Put(name, 400);
  Put("20261201 - STUDIO1 - lumora.log", 5);
  EXPECT_EQ(CleanLogFolder(dir.folder(), 90, "STUDIO1"), 1);
  for (const char* name : gone) EXPECT_FALSE(Has(name)) << name;
  for (const char* name : kept) EXPECT_TRUE(Has(name)) << name;
  EXPECT_TRUE(Has("20261201 - STUDIO1 - lumora.log")) << "younger than 90 days";
}

using Texts = std::vector<std::string>;

TEST(PathTexts, SlashesPartsExtensionsAndReservedNames) {
  EXPECT_EQ(FolderSlash("/rec", 0) + FolderSlash("/rec//", 1), "/rec//rec/");
  EXPECT_EQ(FolderSlash("   ", 0), "");
  const std::string path = "/rec.d/a.b.WAV";
  EXPECT_EQ(SplitPath(path, 0, 0, 0, 0, 1, 1), "wav");
  EXPECT_EQ(SplitPath(path, 1, 1, 1, 0, 0, 2), "/REC.D/A.B");
  EXPECT_EQ(SplitPath("/a.d/take", 0, 0, 1, 1, 1, 0), "take");  // dots in folders never count
  EXPECT_EQ(AddExtension("Take1", "WAV") + AddExtension("a.Wav", "WAV"), "Take1.wava.Wav");
  EXPECT_EQ(IsReservedName("/a/com1.wav"), 1);
  EXPECT_EQ(IsReservedName("/a/com10.wav"), 0);
  EXPECT_EQ(IsReservedName("/nul/take.wav"), 0);  // the base name only
}

TEST(UniqueFileName, NumbersFromOneFillingGapsAndGrowingPastTheWidth) {
  test::TempDir dir;
  const auto touch = [&](int from, int to) {
    for (int n = from; n <= to; ++n) {
      test::WriteFileBytes(dir.file((n < 10 ? "take0" : "take") + std::to_string(n) + ".wav"), {1});
    }
  };
  const std::string path = dir.file("take.wav");
  EXPECT_EQ(UniqueFileName(path, 1, 1, 2, 0), path);  // a free name is kept
  EXPECT_EQ(UniqueFileName(path, 1, 1, 2, 1), dir.file("take01.wav"));
  test::WriteFileBytes(path, {1});
  touch(1, 1);
  touch(3, 3);
  std::filesystem::create_directory(dir.path() / "take02.wav");  // folders never block a number
  EXPECT_EQ(UniqueFileName(path, 1, 1, 2, 0), dir.file("take02.wav"));
  std::filesystem::remove(dir.path() / "take02.wav");
  touch(2, 9);
  EXPECT_EQ(UniqueFileName(path, 1, 1, 2, 1), dir.file("take10.wav"));
  touch(10, 99);
  EXPECT_EQ(UniqueFileName(path, 1, 1, 2, 1), dir.file("take100.wav"));
  EXPECT_EQ(UniqueFileName("solo.wav", 1, 1, 2, 1), "solo01.wav");  // no root folder made up
}

TEST(ParseCommandLine, PathsOrWhatFollowsAnOptionOrTheProgramsArguments) {
  const std::tuple<const char*, const char*, Texts> cases[] = {
      {"", R"(  /u/x.wav  "/tmp/a b.wav"x word "/a"/b)", {"/u/x.wav", "/tmp/a b.wav", "/a", "/b"}},
      {"-o", "-ofile /-oother -x -o", {"file", "other", ""}},
      {"B", "x b /b B", {""}},  // exact case
  };
  for (const auto& [option, line, found] : cases) {
    Texts results{"stale"};
    EXPECT_EQ(ParseCommandLine(results, option, line), std::ssize(found)) << line;
    EXPECT_EQ(results, found.empty() ? Texts{""} : found) << line;
  }
  char program[] = "lumora", spaced[] = "/srv/rec/a b.wav", session[] = "/3";
  char* argv[] = {program, spaced, session};
  SetProgramArguments(3, argv);
  Texts results;
  EXPECT_EQ(ParseCommandLine(results, "", "  "), 2);
  EXPECT_EQ(results, (Texts{"/srv/rec/a b.wav", "/3"}));
  EXPECT_EQ(ParseCommandLine(results, "3", ""), 1);
  SetProgramArguments(1, argv);
}

// The log files and their folders, and the time texts.

// A log in a fresh folder at 2026/12/05 13:04:09 local time.
class LogTest : public ::testing::Test {
 protected:
  void SetUp() override {
    saved_ = CurrentLogConfig();
    SetActiveClock(&clock);
    ConfigureLog({1, dir.file("log"), "STUDIO1", "lumora"});
  }
  void TearDown() override {
    ConfigureLog(saved_);
    SetActiveClock(nullptr);
  }
  std::string Read(const std::string& name) const { return test::ReadText(dir.file("log/" + name)); }
  test::TempDir dir;
  ManualClock clock{{2026, 12, 5, 13 * 3600 + 4 * 60 + 9.4}};
  LogConfig saved_;
};

TEST_F(LogTest, LinesGoToTheFileOfTheirDayAndKind) {
  Log("RecordCommand start");
  Log("line1\r\nline2", 1);
  clock.Advance(61.0);
  Log("2件目");
  clock.SetLocal({2026, 12, 31, 86399.5});
  Log("before");
  clock.Advance(1.0);
  Log("after");  // a new day, a new file
  EXPECT_EQ(Read("20261205 - STUDIO1 - lumora.log"),
            "2026/12/05 13:04:09 RecordCommand start\r\n2026/12/05 13:05:10 2件目\r\n");
  EXPECT_EQ(Read("20261205 - STUDIO1 - lumora.err"), "2026/12/05 13:04:09 line1\r\nline2\r\n");
  EXPECT_EQ(Read("20261231 - STUDIO1 - lumora.log"), "2026/12/31 23:59:59 before\r\n");
  EXPECT_EQ(Read("20270101 - STUDIO1 - lumora.log"), "2027/01/01 00:00:00 after\r\n");
}

TEST_F(LogTest, NothingIsWrittenWhenDisabledOrTwoFolderLevelsAreMissing) {
  ConfigureLog({0, dir.file("log"), "STUDIO1", "lumora"});
  Log("error", 1);
  EXPECT_FALSE(fs::exists(dir.file("log")));
  ConfigureLog({1, dir.file("a/b"), "STUDIO1", "lumora"});
  Log("lost");
  EXPECT_FALSE(fs::exists(dir.file("a")));
}

TEST_F(LogTest, AFileThatCannotBeOpenedLosesOnlyItsOwnLines) {
  fs::create_directories(dir.file("log/20261205 - STUDIO1 - lumora.log"));
  Log("nowhere to go");
  Log("kept", 1);
  EXPECT_EQ(Read("20261205 - STUDIO1 - lumora.err"), "2026/12/05 13:04:09 kept\r\n");
}

TEST(LogFolders, TheProgramFolderWhenWritableElseAPerUserFolder) {
  EXPECT_EQ(DefaultLogFolder(), AppFolder() + "log/");
  test::TempDir dir;
  const test::ScopedEnv state("XDG_STATE_HOME", "relative/state");  // ignored, as relative values must be
  const test::ScopedEnv home("HOME", dir.file("home"));
  EXPECT_EQ(UserLogFolder(), dir.file("home/.local/state/lumora/log/"));
  EXPECT_TRUE(fs::is_directory(dir.file("home/.local/state/lumora")));
}

// DateTimeText reads "now" from a clock the test sets.
class DateTimeTextTest : public ::testing::Test {
 protected:
  std::string At(int32_t year, int32_t month, int32_t day, double secondsOfDay, int32_t boundary = 0,
                 int32_t dayOffset = 0, int32_t separators = 0, int32_t parts = 0, int32_t source = 0,
                 int32_t yearStyle = 0, float addSeconds = 0.0f) {
    clock_.SetLocal({year, month, day, secondsOfDay});
    return DateTimeText(boundary, dayOffset, separators, parts, source, yearStyle, addSeconds);
  }
  void SetUp() override { SetActiveClock(&clock_); }
  void TearDown() override { SetActiveClock(nullptr); }
  ManualClock clock_;
};

constexpr double kAfternoon = 13 * 3600 + 4 * 60 + 9.25;  // 13:04:09.250

TEST_F(DateTimeTextTest, SeparatorsPartsYearStylesTimeSourcesAndDayBoundaries) {
  EXPECT_EQ(At(2026, 12, 5, kAfternoon), "2026/12/05 13:04:09");
  EXPECT_EQ(At(2026, 12, 5, kAfternoon, 0, -90), "2026/09/06 13:04:09");
  EXPECT_EQ(At(2026, 12, 5, kAfternoon, 0, 0, 2, 7), "2026-12-05 13_04_09_250");
  EXPECT_EQ(At(2026, 12, 5, kAfternoon, 0, 0, 0, 6, 1), "00:00:00.000");
  EXPECT_EQ(At(2026, 12, 5, kAfternoon, 18000, 0, 0, 7, 3), "2026/12/05 05:00:00.000");
  // Before the day boundary hours run on past 24.
  EXPECT_EQ(At(2026, 12, 6, 1.5 * 3600, 18000), "2026/12/05 25:30:00");
  EXPECT_EQ(At(2026, 12, 5, kAfternoon, 18000, 0, 0, 3, 1), "2026/12/04 24:00:00");
}

TEST_F(DateTimeTextTest, AddedSecondsCarryPastMidnightBothWays) {
  EXPECT_EQ(At(2026, 12, 5, 86390.0, 0, 0, 0, 0, 0, 0, 15.0f), "2026/12/06 00:00:05");
  EXPECT_EQ(At(2026, 3, 1, 0.0, 0, -1, 0, 1, 0, 0, -0.5f), "2026/02/27");
  // Fractions never round into the next second.
  EXPECT_EQ(At(2026, 12, 5, 86399.9995, 0, 0, 0, 7), "2026/12/05 23:59:59.999");
  EXPECT_EQ(At(2026, 12, 5, kAfternoon + 0.7496, 0, 0, 0, 6), "13:04:09.999");
}

TEST(TimeText, EveryStyleFractionsTotalsAndNegatives) {
  const char* const expected[] = {"062'03.456",   "62'03.4",      "01:02:03",  "1:02:03.4",  "62:03",
                                  "3723.456",     "3723.45",      "62:03.456", "01:02:03.4", "01:02:03.45",
                                  "01:02:03.456", "01時02分03秒", "010203",    "",           ""};
  for (int32_t style = 0; style <= 14; ++style) EXPECT_EQ(TimeText(3723456, style), expected[style]) << style;
  // Fractions are cut, totals unlimited, negatives optional.
  EXPECT_EQ(TimeText(59999, 1), "00'59.9");
  EXPECT_EQ(TimeText(100 * 3600000, 2), "100:00:00");
  EXPECT_EQ(TimeText(-1500, 1), "00'00.0");
  EXPECT_EQ(TimeText(-1500, 1, 1), "-00'01.5");
  EXPECT_EQ(TimeText(std::numeric_limits<int32_t>::min(), 10, 1), "-596:31:23.648");
}

}  // namespace
}  // namespace lumora
