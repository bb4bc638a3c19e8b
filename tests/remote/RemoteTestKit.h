#pragma once
// What the remote tests share: settings of their own, and a command target
// that writes down what the commands did to it.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "common/TempDir.h"
#include "remote/CommandTarget.h"
#include "settings/Settings.h"

namespace lumora::test {

// Settings in an ini file of the test's folder, with KEY=VALUE overrides.
inline std::unique_ptr<Settings> TestSettings(const TempDir& dir, const std::vector<std::string>& sets) {
  auto settings = std::make_unique<Settings>(dir.folder());
  EXPECT_EQ(settings->UseIniFile(dir.file("test.ini")), SettingsArgumentError::kNone);
  settings->FixSession(0);
  for (const auto& set : sets) EXPECT_EQ(settings->AddOverride(set), SettingsArgumentError::kNone) << set;
  return settings;
}

class FakeTarget final : public CommandTarget {
 public:
  bool IsRecording() const override { return recording; }
  bool IsPlaying() const override { return playing; }
  void ClickRecButton(int32_t index) override { Note("rec" + std::to_string(index)); }
  void ClickPlayButton(int32_t index) override { Note("play" + std::to_string(index)); }
  void ClickRegButton() override { Note("reg"); }
  void HeadPlus() override { Note("head+"); }
  void HeadMinus() override { Note("head-"); }
  void HeadHome() override { Note("home"); }

  // The actions since the last call, and no more.
  std::vector<std::string> Take() { return std::exchange(actions, {}); }

  bool recording = false;
  bool playing = false;
  std::vector<std::string> actions;

 private:
  void Note(const std::string& action) { actions.push_back(action); }
};

}  // namespace lumora::test
