// The function table, and what each command and function key does to the
// window.

#include "remote/Functions.h"

#include <gtest/gtest.h>

#include "RemoteTestKit.h"

namespace lumora::test {
namespace {

using Actions = std::vector<std::string>;

TEST(FunctionTable, TextsAndLookupsByColumn) {
  EXPECT_EQ(FunctionText(1, 0) + FunctionText(5, 1) + FunctionText(3, 2), "録音PLAY_PAUSE⇒");
  EXPECT_EQ(FunctionText(12, 1) + FunctionText(-1, 1) + FunctionText(1, 3), "");
  EXPECT_EQ(FunctionIndexOf("N/A", 1), 0);
  EXPECT_EQ(FunctionIndexOf("save", 1) + FunctionIndexOf("SAVE", 0) + FunctionIndexOf("", 1), -3);
}

TEST(FunctionKeys, BuiltInAssignmentsAndStoredNames) {
  TempDir dir;
  FakeTarget target;
  const auto keysOf = [&](const std::vector<std::string>& sets, std::vector<int32_t> keys) {
    const ControlMaps maps = LoadControlMaps(*TestSettings(dir, sets));
    for (int32_t key : keys) FunctionKeyUp(key, maps, target);
    return target.Take();
  };
  // No settings: F1 records, F2 stops (only while recording), F7 chooses the
  // file, F9 does nothing; F3 plays.
  EXPECT_EQ(keysOf({}, {112, 113, 118, 120, 114}), (Actions{"rec1", "rec0", "play2"}));
  target.recording = true;
  EXPECT_EQ(keysOf({}, {112, 113}), (Actions{"rec2"}));
  target.recording = false;
  EXPECT_EQ(keysOf({"fkeyfct-03=SAVE"}, {114}), (Actions{"rec0"}));
  EXPECT_EQ(keysOf({"fkeyfct-03=save"}, {114}), (Actions{"play2"}));
  EXPECT_EQ(keysOf({"fkeyfct-12=REG"}, {123, 111, 124}), (Actions{"reg"}));
  // F4 and F10 are consumed; other keys pass on.
  const ControlMaps maps;
  EXPECT_EQ(FunctionKeyUp(115, maps, target) + FunctionKeyUp(121, maps, target), 0);
  EXPECT_EQ(FunctionKeyUp(116, maps, target) + FunctionKeyUp(65, maps, target), 116 + 65);
  EXPECT_EQ(target.Take(), (Actions{"play0", "play1"}));
}

TEST(DoFunction, TheButtonsAndHeadMovesOfEachCommand) {
  FakeTarget target;
  for (int32_t f : {3, 4, 5, 6, 7, 8, 9, 10, 11, 0, 12, -1}) DoFunction(f, target);
  EXPECT_EQ(target.Take(),
            (Actions{"play2", "play0", "play1", "head+", "head-", "home", "play0", "rec2", "rec0", "reg"}));
}

}  // namespace
}  // namespace lumora::test
