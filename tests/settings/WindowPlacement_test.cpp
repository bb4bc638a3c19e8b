#include "settings/WindowPlacement.h"

#include <gtest/gtest.h>

#include "SettingsTestKit.h"
#include "settings/Settings.h"

namespace lumora {
namespace {

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

TEST_F(WindowPlacementTest, OffScreenOrNegativePositionsBecomeZeroAndSizesAreTakenAsStored) {
  struct Case {
    const char* stored;
    float left, top;
  };
  for (const Case& c : {Case{"WindowLeft=3000\r\nWindowTop=2000\r\n", 3000, 2000},
                        Case{"WindowLeft=40000\r\nWindowTop=-30\r\n", 0, 0},
                        Case{"WindowLeft=28800\r\nWindowTop=16200\r\n", 28800, 16200}}) {
    const WindowPlacement placed = Restore(c.stored);
    EXPECT_TRUE(placed.left == c.left && placed.top == c.top) << c.stored;
  }
  const WindowPlacement sized = Restore("WindowWidth=99999\r\nWindowHeight=-5\r\n");
  EXPECT_TRUE(sized.width == 99999 && sized.height == -5);

  // Missing keys keep the current placement and are written back.
  const WindowPlacement placed = Restore("", kCurrent, {.skipSize = true});
  EXPECT_TRUE(placed.left == kCurrent.left && placed.width == kCurrent.width);
  EXPECT_EQ(ReadText(ini_), "[conf]\r\nWindowLeft=1500\r\nWindowTop=1200\r\nWindowState=0\r\n");
}

TEST_F(WindowPlacementTest, StateIsAppliedWhateverTheCurrentStateButPositionOnlyWhenNormal) {
  WindowPlacement maximised = kCurrent;
  maximised.state = kWindowMaximized;
  const WindowPlacement placed = Restore("WindowLeft=3000\r\nWindowState=0\r\n", maximised);
  EXPECT_TRUE(placed.left == kCurrent.left && placed.state == kWindowNormal);

  EXPECT_EQ(Restore("WindowState=2\r\n").state, kWindowMaximized);
  EXPECT_EQ(Restore("WindowState=7\r\n").state, kWindowNormal) << "an unknown state keeps the current one";
  EXPECT_EQ(Restore("WindowState=2\r\n", kCurrent, {.skipState = true}).state, kWindowNormal);
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

}  // namespace
}  // namespace lumora
