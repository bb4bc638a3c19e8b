#include "settings/WindowPlacement.h"

#include <gtest/gtest.h>

#include "SettingsTestKit.h"
#include "settings/Settings.h"

namespace lumora {
namespace {

constexpr float kScreenWidth = 28800;  // 1920 x 1080 pixels at 15 twips per pixel
constexpr float kScreenHeight = 16200;
constexpr WindowPlacement kCurrent{1500, 1200, 9000, 6000, kWindowNormal};

class WindowPlacementTest : public test::SettingsTest {
 protected:
  std::string ini_ = app_ + "lumora.ini";
  void SetUp() override {
    SettingsTest::SetUp();
    WriteText(ini_, "");
  }
  WindowPlacement Restore(const std::string& stored, const WindowPlacement& current = kCurrent,
                          PlacementOptions options = {}) {
    WriteText(ini_, "[conf]\r\n" + stored);
    return RestoreWindowPlacement(Settings(app_), "", current, kScreenWidth, kScreenHeight, options);
  }
};

TEST_F(WindowPlacementTest, OffScreenOrNegativePositionsBecomeZeroAndSizesAreTakenAsStored) {
  struct Case {
    const char* stored;
    float left, top;
  };
  for (const Case& c : {Case{"WindowLeft=3000\r\nWindowTop=2000\r\n", 3000, 2000},
                        Case{"WindowLeft=40000\r\nWindowTop=-30\r\n", 0, 0},
                        Case{"WindowLeft=-1\r\nWindowTop=16201\r\n", 0, 0},
                        Case{"WindowLeft=28800\r\nWindowTop=16200\r\n", 28800, 16200}}) {
    const WindowPlacement placed = Restore(c.stored);
    EXPECT_EQ(placed.left, c.left) << c.stored;
    EXPECT_EQ(placed.top, c.top) << c.stored;
  }
  const WindowPlacement sized = Restore("WindowWidth=99999\r\nWindowHeight=-5\r\n");
  EXPECT_EQ(sized.width, 99999);
  EXPECT_EQ(sized.height, -5);
}

TEST_F(WindowPlacementTest, MissingKeysKeepTheCurrentPlacementAndAreWrittenBack) {
  const WindowPlacement placed = Restore("", kCurrent, {.skipSize = true});
  EXPECT_EQ(placed.left, kCurrent.left);
  EXPECT_EQ(placed.width, kCurrent.width);
  EXPECT_EQ(ReadText(ini_), "[conf]\r\nWindowLeft=1500\r\nWindowTop=1200\r\nWindowState=0\r\n");
}

TEST_F(WindowPlacementTest, StateIsAppliedWhateverTheCurrentStateButPositionOnlyWhenNormal) {
  WindowPlacement maximised = kCurrent;
  maximised.state = kWindowMaximized;
  const WindowPlacement placed = Restore("WindowLeft=3000\r\nWindowState=0\r\n", maximised);
  EXPECT_EQ(placed.left, kCurrent.left);
  EXPECT_EQ(placed.state, kWindowNormal);

  EXPECT_EQ(Restore("WindowState=2\r\n").state, kWindowMaximized);
  EXPECT_EQ(Restore("WindowState=7\r\n").state, kWindowNormal) << "an unknown state keeps the current one";
  EXPECT_EQ(Restore("WindowState=2\r\n", kCurrent, {.skipState = true}).state, kWindowNormal);
  EXPECT_EQ(Restore("WindowLeft=3000\r\n", kCurrent, {.skipPosition = true}).left, kCurrent.left);
}

TEST_F(WindowPlacementTest, MaximisedWindowSavesOnlyItsState) {
  Settings settings(app_);
  SaveWindowPlacement(settings, "", {2250.5f, 1200, 9000, 6000, kWindowNormal}, {.skipSize = true});
  EXPECT_EQ(ReadText(ini_), "[conf]\r\nWindowLeft=2250.5\r\nWindowTop=1200\r\nWindowState=0\r\n");

  SaveWindowPlacement(settings, "", {0, 0, 28800, 16200, kWindowMaximized}, {.skipSize = true});
  EXPECT_EQ(ReadText(ini_), "[conf]\r\nWindowLeft=2250.5\r\nWindowTop=1200\r\nWindowState=2\r\n");

  SaveWindowPlacement(settings, "Conf", {100, 200, 3000, 4000, kWindowNormal}, {.skipState = true});
  EXPECT_EQ(test::LinesOf(ReadText(ini_)),
            (std::vector<std::string>{"[conf]\r\n", "WindowLeft=2250.5\r\n", "WindowTop=1200\r\n",
                                      "WindowState=2\r\n", "ConfWindowLeft=100\r\n", "ConfWindowTop=200\r\n",
                                      "ConfWindowHeight=4000\r\n", "ConfWindowWidth=3000\r\n"}));
}

}  // namespace
}  // namespace lumora
