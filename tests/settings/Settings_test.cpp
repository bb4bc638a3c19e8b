// The settings: the ini file and the per-user store, defaults, overrides,
// sessions and the window's placement.

#include "settings/Settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <random>

#include "SettingsTestKit.h"
#include "common/FileSizeLimit.h"
#include "settings/DataFolder.h"
#include "settings/IniStore.h"
#include "settings/ProfileText.h"
#include "settings/SettingKeys.h"
#include "settings/UserStore.h"
#include "settings/WindowPlacement.h"

namespace lumora {
namespace {

namespace fs = std::filesystem;
using test::ReadText;
using test::WriteText;

// Every read the start-up makes, in table order, as the window will make them.
void ReadEveryKey(const Settings& settings) {
  for (const SettingKey& key : SettingKeyTable()) {
    if (key.name == "WindowLeft") {
      RestoreWindowPlacement(settings, "", {1440, 960, 9000, 6000, kWindowNormal}, 28800, 17280,
                             {.skipSize = true});
    }
    if (key.defaultSource == SettingDefault::kCaller) continue;
    if (key.type == SettingType::kWhole) settings.ReadWhole(key.name);
    if (key.type == SettingType::kShort) settings.ReadShort(key.name);
    if (key.type == SettingType::kDecimal) settings.ReadDecimal(key.name);
    if (key.type == SettingType::kText) settings.ReadText(key.name);
  }
}

using SettingsStoreTest = test::SettingsTest;

TEST_F(SettingsStoreTest, FirstRunWithAnEmptyIniListsEveryKeyWithItsDefault) {
  WriteText(ini_, "");
  Settings settings(app_);
  settings.FixSession(0);
  ReadEveryKey(settings);
  std::string expected =
      "[conf]\r\nUseMultiSession=1\r\nLangMode=0\r\nAltFont=1\r\nErrorCatch=0\r\nLogError=1\r\nPriorityHigh="
      "1\r\n"
      "SizeRate=1.0\r\nWaveRate=1.0\r\nnFreq=44100\r\nnBit=16\r\nnCh=2\r\nDeviceInName=***\r\nDeviceOutName=*"
      "**\r\n"
      "VULevelTrim=-20.0\r\nRecLevel=0\r\nPlayLevel=0\r\nStartLevel=-45\r\nEndLevel=-45\r\nEndTime=40\r\n"
      "Sequential=0\r\nAutoRec=0\r\nInputMon=0\r\nDataPath=" +
      app_ +
      "\r\nRMSP3mon=0\r\nModemp3=0\r\nmp3BitRate=128\r\nPreRecTime=0\r\nContinueAtLimit=1\r\nSplitMinutes="
      "0\r\nUSBHIDID=0\r\nUSBHID_Latch=0\r\nUSBTallyInvert=0\r\n";
  for (int i = 1; i <= 12; ++i) expected += NumberedKey("fkeyfct-", i) + "=***\r\n";
  for (int i = 1; i <= 8; ++i) expected += NumberedKey("HIDfct-", i) + "=***\r\n";
  for (int i = 1; i <= 8; ++i) expected += NumberedKey("HIDwaitms-", i) + "=0\r\n";
  expected +=
      "RegApp=***\r\nMixerApp=***\r\nRecDir=***\r\nWindowLeft=1440\r\nWindowTop=960\r\nWindowState=0\r\n";
  EXPECT_EQ(ReadText(ini_), expected);

  // A second start reads the same values and leaves the file as it is.
  Settings again(app_);
  again.FixSession(0);
  ReadEveryKey(again);
  EXPECT_EQ(ReadText(ini_), expected);
  EXPECT_EQ(again.ReadText("DeviceInName"), "");
  EXPECT_FALSE(fs::exists(config_)) << "the ini session writes nothing per user";
}

TEST_F(SettingsStoreTest, LaterSessionsUseTheirOwnIniElseTheFirstOneElseTheirPerUserKey) {
  WriteText(app_ + "lumoraC.ini", "[conf]\r\nnFreq=96000\r\n");
  Settings own(app_);
  own.FixSession(2);
  EXPECT_EQ(own.ReadWhole("nFreq"), 96000);
  EXPECT_EQ(own.SettingsLocation(true).kind, StoreKind::kRegistry) << "no title ini: the title's key";
  EXPECT_EQ(own.SettingsLocation(true).place, "lumora");

  WriteText(ini_, "[conf]\r\nnFreq=48000\r\n");
  Settings shared(app_);
  shared.FixSession(3);
  EXPECT_EQ(shared.ReadWhole("nFreq"), 48000);
  EXPECT_EQ(own.SettingsLocation(true).place, ini_);
}

TEST_F(SettingsStoreTest, DebugLogPathComesOnlyFromTheCommonKey) {
  WriteText(ini_, "[conf]\r\nDebugLogPath=/from/the/ini\r\n");
  Settings settings(app_);
  EXPECT_EQ(settings.ReadText("DebugLogPath"), "");
  EXPECT_TRUE(settings.WriteText("DebugLogPath", "/var/log/lumora"));
  EXPECT_EQ(RegReadValue("DebugLogPath", "", "common"), "/var/log/lumora");
  EXPECT_EQ(settings.ReadText("DebugLogPath"), "/var/log/lumora");
  EXPECT_EQ(ReadText(ini_), "[conf]\r\nDebugLogPath=/from/the/ini\r\n");
}

TEST_F(SettingsStoreTest, UnconvertibleTextReadsAsTheTypedDefault) {
  WriteText(ini_,
            "[conf]\r\nnFreq=fast\r\nnBit=70000\r\nSizeRate=nan\r\nEndTime= 30 \r\nStartLevel=-45.5\r\n");
  Settings settings(app_);
  EXPECT_EQ(settings.ReadWhole("nFreq"), 44100);
  EXPECT_EQ(settings.ReadShort("nBit"), 16);
  EXPECT_EQ(settings.ReadDecimal("SizeRate"), 1.0f);
  EXPECT_EQ(settings.ReadWhole("EndTime"), 30);
  EXPECT_EQ(settings.ReadWhole("StartLevel"), -46) << "halves round to even";
  EXPECT_EQ(settings.ReadWhole("NotInTheTable"), 0);
  EXPECT_EQ(settings.ReadDecimal("ConfWindowLeft", 120.5f), 120.5f);
  EXPECT_NE(ReadText(ini_).find("ConfWindowLeft=120.5\r\n"), std::string::npos);
}

TEST_F(SettingsStoreTest, OverridesHoldForTheRunAndAreNeverSaved) {
  WriteText(ini_, "[conf]\r\nnFreq=44100\r\n");
  Settings settings(app_);
  EXPECT_EQ(settings.AddOverride("nFreq=8000"), SettingsArgumentError::kNone);
  EXPECT_EQ(settings.AddOverride("NFREQ = 48000"), SettingsArgumentError::kNone) << "the later one wins";
  EXPECT_EQ(settings.AddOverride("nFreq"), SettingsArgumentError::kNoAssignment);
  EXPECT_EQ(settings.AddOverride("nFrq=48000"), SettingsArgumentError::kUnknownKey);
  EXPECT_EQ(settings.AddOverride("nBit=twenty-four"), SettingsArgumentError::kNotConvertible);

  EXPECT_EQ(settings.ReadWhole("nFreq"), 48000);
  EXPECT_EQ(settings.ReadShort("nBit"), 16);
  EXPECT_TRUE(settings.WriteWhole("nFreq", 96000));
  EXPECT_EQ(settings.ReadWhole("nFreq"), 96000);
  EXPECT_EQ(ReadText(ini_), "[conf]\r\nnFreq=44100\r\nnBit=16\r\n");
  EXPECT_FALSE(fs::exists(config_));
}

TEST_F(SettingsStoreTest, IniFileFromTheCommandLineBecomesTheOnlyStore) {
  WriteText(ini_, "[conf]\r\nnFreq=48000\r\n");
  const std::string chosen = dir_.folder() + "run.ini";
  Settings settings(app_);
  EXPECT_EQ(settings.UseIniFile(dir_.folder()), SettingsArgumentError::kIniNotAFile);
  EXPECT_EQ(settings.UseIniFile(dir_.folder() + "no/such/run.ini"), SettingsArgumentError::kIniNoFolder);
  EXPECT_EQ(settings.Session().iniPath, ini_) << "a refused file changes nothing";
  EXPECT_EQ(settings.UseIniFile(chosen), SettingsArgumentError::kNone);
  settings.FixSession(3);
  EXPECT_EQ(settings.Session().name, "lumoraD");
  EXPECT_EQ(settings.Session().iniPath, chosen);

  EXPECT_EQ(settings.ReadWhole("UseMultiSession") + settings.ReadWhole("nFreq"), 44101);
  EXPECT_EQ(ReadText(chosen), "[conf]\r\nUseMultiSession=1\r\nnFreq=44100\r\n");
  EXPECT_EQ(ReadText(ini_), "[conf]\r\nnFreq=48000\r\n");
}

TEST_F(SettingsStoreTest, DataPathFallsBackToAWritableFolder) {
  Settings settings(app_);
  EXPECT_EQ(ResolveDataPath(settings), app_);

  const std::string takes = dir_.folder() + "takes/";
  fs::create_directory(takes);
  settings.WriteText("DataPath", takes);
  EXPECT_EQ(ResolveDataPath(settings), takes);
  settings.WriteText("DataPath", dir_.folder() + "unplugged/");
  EXPECT_EQ(ResolveDataPath(settings), app_);

  // An installed program whose folder cannot take files records per user.
  const std::string perUser = dir_.folder() + "data/lumora/";
  EXPECT_EQ(DefaultDataFolder(dir_.folder() + "not-there/"), perUser);
  EXPECT_TRUE(fs::is_directory(perUser));
  Settings installed(dir_.folder() + "not-there/");
  EXPECT_EQ(ResolveDataPath(installed), perUser);
}

constexpr WindowPlacement kCurrent{1500, 1200, 9000, 6000, kWindowNormal};

class WindowPlacementTest : public test::SettingsTest {
 protected:
  // On a screen of 1920 x 1080 pixels at 15 twips per pixel.
  WindowPlacement Restore(const std::string& stored, const WindowPlacement& current = kCurrent,
                          PlacementOptions options = {}) {
    WriteText(ini_, "[conf]\r\n" + stored);
    return RestoreWindowPlacement(Settings(app_), "", current, 28800, 16200, options);
  }
};

TEST_F(WindowPlacementTest, PositionsOnScreenAndTheState) {
  struct Case {
    const char* stored;
    float left, top;
  };
  for (const Case& c : {Case{"WindowLeft=3000\r\nWindowTop=2000\r\n", 3000, 2000},
                        Case{"WindowLeft=40000\r\nWindowTop=-30\r\n", 0, 0}}) {
    const WindowPlacement placed = Restore(c.stored);
    EXPECT_TRUE(placed.left == c.left && placed.top == c.top) << c.stored;
  }

  // Missing keys keep the current placement and are written back.
  const WindowPlacement placed = Restore("", kCurrent, {.skipSize = true});
  EXPECT_TRUE(placed.left == kCurrent.left && placed.width == kCurrent.width);
  EXPECT_EQ(ReadText(ini_), "[conf]\r\nWindowLeft=1500\r\nWindowTop=1200\r\nWindowState=0\r\n");

  // The state is applied whatever the current state, the position only when normal.
  WindowPlacement maximised = kCurrent;
  maximised.state = kWindowMaximized;
  const WindowPlacement restored = Restore("WindowLeft=3000\r\nWindowState=0\r\n", maximised);
  EXPECT_TRUE(restored.left == kCurrent.left && restored.state == kWindowNormal);

  EXPECT_EQ(Restore("WindowState=2\r\n").state, kWindowMaximized);
  EXPECT_EQ(Restore("WindowState=7\r\n").state, kWindowNormal) << "an unknown state keeps the current one";
}

TEST_F(WindowPlacementTest, MaximisedWindowSavesOnlyItsState) {
  WriteText(ini_, "");
  Settings settings(app_);
  SaveWindowPlacement(settings, "", {2250.5f, 1200, 9000, 6000, kWindowNormal}, {.skipSize = true});
  SaveWindowPlacement(settings, "", {0, 0, 28800, 16200, kWindowMaximized}, {.skipSize = true});
  SaveWindowPlacement(settings, "Conf", {100, 200, 3000, 4000, kWindowNormal}, {.skipState = true});
  EXPECT_EQ(ReadText(ini_),
            "[conf]\r\nWindowLeft=2250.5\r\nWindowTop=1200\r\nWindowState=2\r\nConfWindowLeft=100\r\n"
            "ConfWindowTop=200\r\nConfWindowHeight=4000\r\nConfWindowWidth=3000\r\n");
}

using UserStoreTest = test::SettingsTest;

TEST_F(UserStoreTest, KeyPathsFollowTheSessionNameAndStayInsideTheConfigFolder) {
  EXPECT_EQ(UserStoreFile(RegistryHive::kCurrentUser, UserStoreKeyPath("")), config_ + "/tessaron/lumora");
  for (const char* unsafe : {"Software\\..\\..\\etc", "Software\\tessaron\\", "Software\\a/b", ".", ""}) {
    EXPECT_EQ(UserStoreFile(RegistryHive::kCurrentUser, unsafe), std::nullopt) << unsafe;
  }
  const test::ScopedEnv relative("XDG_CONFIG_HOME", "relative/config");  // ignored, as XDG says
  const test::ScopedEnv home("HOME", dir_.folder() + "home");
  EXPECT_EQ(UserStoreFile(RegistryHive::kCurrentUser, UserStoreKeyPath("lumoraB")),
            dir_.folder() + "home/.config/tessaron/lumorab");
}

TEST_F(UserStoreTest, SecondSessionWritesItsOwnKeyFileWithRegistryRules) {
  EXPECT_EQ(RegWriteValue("nFreq", "48000", "lumoraB") + RegWriteValue("DeviceInName", "", "lumoraB"), 2);
  EXPECT_EQ(RegWriteValue("TooLong", std::string(256, 'x'), "lumoraB"), 1);
  EXPECT_EQ(RegReadValue("NFREQ", "44100", "lumoraB"), "48000");
  EXPECT_EQ(RegReadValue("TooLong", "default", "lumoraB"), "default");
  EXPECT_EQ(RegReadValue("DeviceInName", "default", "lumoraB"), "") << "*** is the empty text";
  EXPECT_EQ(RegReadValue("nFreq", "44100", "lumora"), "44100") << "the first session's key is apart";
  EXPECT_FALSE(fs::exists(config_ + "/tessaron/lumora")) << "reads write nothing back";
}

TEST_F(UserStoreTest, UnwritableOrBrokenKeysFailWithoutLosingData) {
  EXPECT_EQ(RegWriteValue("x", "1", "", RegistryHive::kCurrentUser, "Software\\..\\escape"), 0);
  EXPECT_EQ(RegWriteValue("DataPath", "/a\nnFreq=8000", "lumora"), 0);
  EXPECT_FALSE(fs::exists(config_ + "/tessaron/lumora"));

  fs::create_directories(config_ + "/tessaron/lumora");  // a folder where the key file belongs
  EXPECT_EQ(RegWriteValue("nFreq", "48000", "lumora"), 0);
  EXPECT_EQ(RegReadValue("nFreq", "44100", "lumora"), "44100");

  fs::remove_all(config_ + "/tessaron");
  WriteText(config_ + "/tessaron", "a file where the maker's folder belongs");
  EXPECT_EQ(RegWriteValue("nFreq", "48000", "lumorab"), 0);
  EXPECT_EQ(ReadText(config_ + "/tessaron"), "a file where the maker's folder belongs");
}

using IniStoreTest = test::SettingsTest;

TEST_F(IniStoreTest, WriteBackOfDefaultsOnlyWhenAskedAndForIsDefault) {
  EXPECT_EQ(IniReadValue("nFreq", "44100", ini_, false), "44100");
  EXPECT_FALSE(fs::exists(ini_)) << "no write-back unless asked";
  WriteText(ini_, "[conf]\r\nnFreq=ISDEFAULT\r\nnBit=24\r\n");
  EXPECT_EQ(IniReadValue("nFreq", "48000", ini_, true), "48000");
  EXPECT_EQ(ReadText(ini_), "[conf]\r\nnFreq=48000\r\nnBit=24\r\n");
}

TEST_F(IniStoreTest, ValuesAreCutAt254CharactersAndUnquoted) {
  const auto repeat = [](const std::string& text, int times) {
    std::string all;
    while (times-- > 0) all += text;
    return all;
  };
  WriteText(ini_, "[conf]\r\nQ=\"  spaced  \"\r\nH=\"half\r\n");
  EXPECT_EQ(IniReadValue("Q", "", ini_, false), "  spaced  ");
  EXPECT_EQ(IniReadValue("H", "", ini_, false), "\"half");
  IniWriteValue("J", repeat("録", 300), ini_);
  EXPECT_EQ(IniReadValue("J", "", ini_, false), repeat("録", 254)) << "characters, not bytes";
}

// Lines written here end in CR LF; every other byte stays as it was.
TEST_F(IniStoreTest, WritesChangeOnlyTheirOwnLine) {
  WriteText(
      ini_,
      "\xEF\xBB\xBF; lumora settings\n[window]\nLeft=1\n\n[conf]\n; the rate\nnFreq = 48000\n\n[tail]\n");
  IniWriteValue("NFREQ", "96000", ini_);
  IniWriteValue("nBit", "24", ini_);
  EXPECT_EQ(
      ReadText(ini_),
      "\xEF\xBB\xBF; lumora settings\n[window]\nLeft=1\n\n[conf]\n; the rate\nnFreq=96000\r\nnBit=24\r\n\n"
      "[tail]\n");

  // A line break in a value or an "=" in a key would inject keys.
  const std::string written = ReadText(ini_);
  EXPECT_FALSE(IniWriteValue("DataPath", "/tmp\r\nnFreq=8000", ini_));
  EXPECT_FALSE(IniWriteValue("a=b", "1", ini_));
  EXPECT_EQ(ReadText(ini_), written);
}

TEST_F(IniStoreTest, BrokenFilesReadAsDefaultsAndLoseNothingOnWrite) {
  std::string binary(4096, '\0');
  std::mt19937 random(7);
  for (char& c : binary) c = static_cast<char>(random());
  for (const std::string& content :
       {binary, std::string("[conf\r\n=44100\r\nnFreq\r\n]]]\r\n[]\r\n==\r\n")}) {
    WriteText(ini_, content);
    EXPECT_EQ(IniReadValue("nFreq", "44100", ini_, false), "44100");
    EXPECT_TRUE(IniWriteValue("nFreq", "44100", ini_));
    EXPECT_EQ(ReadText(ini_).substr(0, content.size()), content);
    EXPECT_EQ(IniReadValue("nFreq", "0", ini_, false), "44100");
  }

  fs::remove(ini_);
  fs::create_directory(ini_);  // a folder in the file's place
  EXPECT_EQ(IniReadValue("nFreq", "44100", ini_, true), "44100");
  EXPECT_FALSE(IniWriteValue("nFreq", "48000", ini_));
  EXPECT_TRUE(fs::is_directory(ini_));
  fs::remove(ini_);

  const std::string big = "[conf]\r\nnFreq=48000\r\n" + std::string(2 << 20, ' ');
  WriteText(ini_, big);
  EXPECT_EQ(IniReadValue("nFreq", "44100", ini_, true), "44100");
  EXPECT_EQ(fs::file_size(ini_), big.size());
}

// A lowered file-size limit makes writes fail as on a full disk (root included).
TEST_F(IniStoreTest, FullDiskFailsTheWriteAndKeepsTheOldFile) {
  const std::string before = "[conf]\r\nnFreq=48000\r\n" + std::string(200, ';') + "\r\n";
  WriteText(ini_, before);
  {
    test::FileSizeLimit limit(64);
    EXPECT_FALSE(IniWriteValue("nBit", "24", ini_));
  }
  EXPECT_EQ(ReadText(ini_), before);
  EXPECT_EQ(std::distance(fs::directory_iterator(app_), fs::directory_iterator()), 1)
      << "a temporary file left";
}

TEST_F(IniStoreTest, SessionsWritingOneFileAtOnceLoseNoKey) {
  std::vector<pid_t> sessions;
  for (const char* name : {"A", "B"}) {
    const pid_t pid = fork();
    if (pid == 0) {
      bool ok = true;
      for (int i = 0; i < 40; ++i) ok &= IniWriteValue(name + std::to_string(i), "1", ini_);
      _exit(ok ? 0 : 1);
    }
    sessions.push_back(pid);
  }
  for (const pid_t pid : sessions) {
    int status = -1;
    waitpid(pid, &status, 0);
    EXPECT_EQ(status, 0);
  }
  const std::string text = ReadText(ini_);
  EXPECT_EQ(std::count(text.begin(), text.end(), '\n'), 1 + 2 * 40);
  EXPECT_EQ(IniReadValue("A39", "", ini_, false) + IniReadValue("B0", "", ini_, false), "11");
}

TEST_F(IniStoreTest, WriteKeepsPermissionsAndSymbolicLinks) {
  const std::string target = dir_.file("shared.ini");
  WriteText(target, "[conf]\r\n");
  chmod(target.c_str(), 0640);
  fs::create_symlink(target, ini_);
  EXPECT_TRUE(IniWriteValue("nFreq", "48000", ini_));
  EXPECT_TRUE(fs::is_symlink(ini_));
  EXPECT_EQ(ReadText(target), "[conf]\r\nnFreq=48000\r\n");
  struct stat info {};
  stat(target.c_str(), &info);
  EXPECT_EQ(info.st_mode & 0777, 0640u);
}

TEST(ProfileRead, FollowsTheWindowsReaderRules) {
  const std::string text =
      "\xEF\xBB\xBF; written by hand\r\ntop=outside any section\r\n[Other]\nnFreq=8000\n"
      "  [ CONF ]  \r\n  NFREQ  =  48000  \r\nnfreq=22050\r\n;nBit=24\r\nnCh\r\n"
      "DataPath = /home/歌/録音 \r\nEmpty=\r\n[conf]\r\nLate=second section of the same name\r\n";
  EXPECT_EQ(FindProfileValue(text, "conf", "nFreq"), "48000");  // first of the name wins, trimmed
  EXPECT_EQ(FindProfileValue(text, "conf", "DataPath"), "/home/歌/録音");
  EXPECT_EQ(FindProfileValue(text, "conf", "nBit"), std::nullopt);  // commented out
  EXPECT_EQ(FindProfileValue(text, "conf", "nCh"), std::nullopt);   // no "="
  EXPECT_EQ(FindProfileValue(text, "conf", "Late"), std::nullopt);  // only the first [conf] counts
  EXPECT_EQ(FindProfileValue("[conf\r\nnBit=24\r\n", "conf", "nBit"), std::nullopt);  // no "]": no section
}

}  // namespace
}  // namespace lumora
