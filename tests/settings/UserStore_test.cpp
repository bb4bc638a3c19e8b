#include "settings/UserStore.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "SettingsTestKit.h"

namespace lumora {
namespace {

namespace fs = std::filesystem;

using UserStoreTest = test::SettingsTest;

TEST_F(UserStoreTest, KeyPathsFollowTheSessionNameAndStayInsideTheConfigFolder) {
  EXPECT_EQ(UserStoreFile(RegistryHive::kCurrentUser, UserStoreKeyPath("")), config_ + "/tessaron/lumora");
  EXPECT_EQ(UserStoreFile(RegistryHive::kLocalMachine, "SOFTWARE\\Vendor\\Codec"), "/etc/xdg/Vendor/Codec");
  for (const char* unsafe : {"Software\\..\\..\\etc", "Software\\tessaron\\", "Software\\a/b", ".", ""}) {
    EXPECT_EQ(UserStoreFile(RegistryHive::kCurrentUser, unsafe), std::nullopt) << unsafe;
  }
  const test::ScopedEnv relative("XDG_CONFIG_HOME", "relative/config");  // ignored, as XDG says
  const test::ScopedEnv home("HOME", dir_.folder() + "home");
  EXPECT_EQ(UserStoreFile(RegistryHive::kCurrentUser, UserStoreKeyPath("lumoraB")),
            dir_.folder() + "home/.config/tessaron/lumorab");
}

TEST_F(UserStoreTest, SecondSessionWritesItsOwnKeyFileWithRegistryRules) {
  EXPECT_EQ(RegWriteValue("nFreq", "48000", "lumoraB"), 1);
  EXPECT_EQ(RegWriteValue("DeviceInName", "", "lumoraB"), 1);
  EXPECT_EQ(RegWriteValue("Spaced", "  /media/録音  ", "lumoraB"), 1);
  EXPECT_EQ(RegWriteValue("TooLong", std::string(256, 'x'), "lumoraB"), 1);
  EXPECT_EQ(ReadText(config_ + "/tessaron/lumorab").substr(0, 8), "[conf]\r\n");
  EXPECT_EQ(RegReadValue("NFREQ", "44100", "lumoraB"), "48000");
  EXPECT_EQ(RegReadValue("DeviceInName", "default", "lumoraB"), "") << "*** is the empty text";
  EXPECT_EQ(RegReadValue("Spaced", "", "lumoraB"), "/media/録音");
  EXPECT_EQ(RegReadValue("TooLong", "default", "lumoraB"), "default");
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

}  // namespace
}  // namespace lumora
