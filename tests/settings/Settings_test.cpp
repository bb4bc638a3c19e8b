#include "settings/Settings.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "SettingsTestKit.h"
#include "settings/DataFolder.h"
#include "settings/SettingKeys.h"
#include "settings/UserStore.h"
#include "settings/WindowPlacement.h"

namespace lumora {
namespace {

namespace fs = std::filesystem;

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
      "\r\nRMSP3mon=0\r\nModemp3=0\r\nmp3BitRate=128\r\nUSBHIDID=0\r\nUSBHID_Latch=0\r\nUSBTallyInvert=0\r\n";
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

TEST_F(SettingsStoreTest, WithoutAnIniTheSecondSessionUsesItsOwnPerUserKey) {
  Settings settings(app_);
  settings.FixSession(1);
  EXPECT_EQ(settings.Session().name, "lumoraB");
  ReadEveryKey(settings);
  EXPECT_FALSE(fs::exists(config_)) << "per-user reads write nothing back";
  settings.WriteWhole("nFreq", 48000);
  settings.WriteDecimal("RecLevel", -3.5f);
  EXPECT_EQ(ReadText(config_ + "/tessaron/lumorab"), "[conf]\r\nnFreq=48000\r\nRecLevel=-3.5\r\n");
  EXPECT_EQ(settings.ReadWhole("nFreq"), 48000);
  EXPECT_EQ(Settings(app_).ReadWhole("nFreq"), 44100) << "the first session keeps its own key";
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
            "[conf]\r\nnFreq=fast\r\nnBit=70000\r\nSizeRate=nan\r\nWaveRate=1e999\r\nVULevelTrim=-12.5\r\n"
            "EndTime= 30 \r\nStartLevel=-45.5\r\nnCh=+1\r\nmp3BitRate=\r\nRecLevel=1e1\r\n");
  Settings settings(app_);
  EXPECT_EQ(settings.ReadWhole("nFreq"), 44100);
  EXPECT_EQ(settings.ReadShort("nBit"), 16);
  EXPECT_EQ(settings.ReadDecimal("SizeRate"), 1.0f);
  EXPECT_EQ(settings.ReadDecimal("VULevelTrim"), -12.5f);
  EXPECT_EQ(settings.ReadWhole("EndTime"), 30);
  EXPECT_EQ(settings.ReadWhole("StartLevel"), -46) << "halves round to even";
  EXPECT_EQ(settings.ReadWhole("mp3BitRate"), 128);
  EXPECT_EQ(settings.ReadWhole("NotInTheTable"), 0);
  EXPECT_EQ(settings.ReadDecimal("ConfWindowLeft", 120.5f), 120.5f);
  EXPECT_NE(ReadText(ini_).find("ConfWindowLeft=120.5\r\n"), std::string::npos);
}

TEST_F(SettingsStoreTest, OverridesHoldForTheRunAndAreNeverSaved) {
  WriteText(ini_, "[conf]\r\nnFreq=44100\r\n");
  Settings settings(app_);
  EXPECT_EQ(settings.AddOverride("nFreq=8000"), SettingsArgumentError::kNone);
  EXPECT_EQ(settings.AddOverride("NFREQ = 48000"), SettingsArgumentError::kNone) << "the later one wins";
  EXPECT_EQ(settings.AddOverride("DebugLogPath=/tmp/run-logs"), SettingsArgumentError::kNone);
  EXPECT_EQ(settings.AddOverride("nFreq"), SettingsArgumentError::kNoAssignment);
  EXPECT_EQ(settings.AddOverride("nFrq=48000"), SettingsArgumentError::kUnknownKey);
  EXPECT_EQ(settings.AddOverride("nBit=twenty-four"), SettingsArgumentError::kNotConvertible);

  EXPECT_EQ(settings.ReadWhole("nFreq"), 48000);
  EXPECT_EQ(settings.ReadText("DebugLogPath"), "/tmp/run-logs");
  EXPECT_EQ(settings.ReadShort("nBit"), 16);
  EXPECT_TRUE(settings.WriteWhole("nFreq", 96000));
  EXPECT_TRUE(settings.WriteText("DebugLogPath", "/elsewhere"));
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

  EXPECT_EQ(settings.ReadWhole("UseMultiSession"), 1);
  EXPECT_EQ(settings.ReadWhole("nFreq"), 44100);
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

}  // namespace
}  // namespace lumora
