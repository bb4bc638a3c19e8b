#include "settings/UserStore.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "SettingsTestKit.h"

namespace lumora {
namespace {

namespace fs = std::filesystem;

using UserStoreTest = test::SettingsTest;

TEST_F(UserStoreTest, KeyPathsFollowTheSessionName) {
  EXPECT_EQ(UserStoreKeyPath(""), "Software\\tessaron\\lumora");
  EXPECT_EQ(UserStoreKeyPath("lumoraB"), "Software\\tessaron\\lumorab");
  EXPECT_EQ(UserStoreFile(RegistryHive::kCurrentUser, UserStoreKeyPath("lumoraB")),
            config_ + "/tessaron/lumorab");
  EXPECT_EQ(UserStoreFile(RegistryHive::kLocalMachine, "SOFTWARE\\Vendor\\Codec"), "/etc/xdg/Vendor/Codec");
  for (const char* unsafe : {"Software\\..\\..\\etc", "Software\\tessaron\\", "Software\\a/b", ".", ""}) {
    EXPECT_EQ(UserStoreFile(RegistryHive::kCurrentUser, unsafe), std::nullopt) << unsafe;
  }
}

TEST_F(UserStoreTest, ConfigFolderFallsBackToHomeWhenTheVariableIsRelative) {
  const test::ScopedEnv relative("XDG_CONFIG_HOME", "relative/config");
  const test::ScopedEnv home("HOME", dir_.folder() + "home");
  EXPECT_EQ(UserStoreFile(RegistryHive::kCurrentUser, "Software\\tessaron\\lumora"),
            dir_.folder() + "home/.config/tessaron/lumora");
}

TEST_F(UserStoreTest, WritesCreateTheKeyFileInTheProfileFormat) {
  EXPECT_EQ(RegWriteValue("nFreq", "48000", "lumoraB"), 1);
  EXPECT_EQ(RegWriteValue("DeviceInName", "", "lumoraB"), 1);
  EXPECT_EQ(ReadText(config_ + "/tessaron/lumorab"), "[conf]\r\nnFreq=48000\r\nDeviceInName=***\r\n");
  EXPECT_EQ(RegReadValue("NFREQ", "44100", "lumoraB"), "48000");
  EXPECT_EQ(RegReadValue("DeviceInName", "default", "lumoraB"), "");  // "***" is the empty text
  EXPECT_EQ(RegReadValue("nFreq", "44100", "lumora"), "44100");       // another session's key
  EXPECT_FALSE(fs::exists(config_ + "/tessaron/lumora"));             // reads write nothing back
}

TEST_F(UserStoreTest, ValuesAreTrimmedAndLongValuesReadAsTheDefault) {
  RegWriteValue("Spaced", "  /media/録音  ", "lumora");
  RegWriteValue("Max", std::string(255, 'x'), "lumora");
  RegWriteValue("TooLong", std::string(256, 'x'), "lumora");
  EXPECT_EQ(RegReadValue("Spaced", "", "lumora"), "/media/録音");
  EXPECT_EQ(RegReadValue("Max", "", "lumora"), std::string(255, 'x'));
  EXPECT_EQ(RegReadValue("TooLong", "default", "lumora"), "default");
  EXPECT_EQ(RegReadValue("Missing", "***", "lumora"), "");  // a "***" default reads empty too
}

TEST_F(UserStoreTest, ExplicitKeyPathIgnoresTheName) {
  EXPECT_EQ(RegWriteValue("DebugLogPath", "/var/log/lumora", "ignored", RegistryHive::kCurrentUser,
                          "Software\\tessaron\\common"),
            1);
  EXPECT_EQ(RegReadValue("DebugLogPath", "", "common"), "/var/log/lumora");
  EXPECT_EQ(RegReadValue("DebugLogPath", "", "", RegistryHive::kCurrentUser, "Software\\tessaron\\common"),
            "/var/log/lumora");
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

}  // namespace
}  // namespace lumora
