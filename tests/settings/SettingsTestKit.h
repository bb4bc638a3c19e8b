#pragma once
// A program folder and per-user folders of its own for every settings test, so
// nothing reads or writes the real ~/.config.

#include <gtest/gtest.h>

#include <string>

#include "common/ScopedEnv.h"
#include "common/TempDir.h"

namespace lumora::test {

class SettingsTest : public ::testing::Test {
 protected:
  TempDir dir_;
  std::string app_ = dir_.folder() + "app/";
  std::string ini_ = app_ + "lumora.ini";
  std::string config_ = dir_.folder() + "config";
  ScopedEnv configEnv_{"XDG_CONFIG_HOME", config_};
  ScopedEnv dataEnv_{"XDG_DATA_HOME", dir_.folder() + "data"};

  void SetUp() override { std::filesystem::create_directories(app_); }
};

}  // namespace lumora::test
