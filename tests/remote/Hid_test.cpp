// C_HID against the simulated box: finding it, the inquiry and command
// exchanges, and the faults of a real box. The system's HID devices: none here.

#include "remote/Hid.h"

#include <gtest/gtest.h>

#include <sstream>

#include "common/LogFiles.h"
#include "remote/SimulatedBox.h"
#include "support/Clock.h"
#include "support/EventPump.h"

namespace lumora::test {
namespace {

class HidTest : public ::testing::Test {
 protected:
  // Each round of window events takes a simulated 1/64 s (exact in binary, so
  // a wait ends on a known round; few rounds, so that the real-time bound of a
  // wait stays far off on a loaded machine).
  void SetUp() override {
    SetActiveClock(&clock_);
    SetEventPump([this] {
      ++events_;
      clock_.Advance(1.0 / 64);
    });
  }
  void TearDown() override {
    SetEventPump(nullptr);
    SetActiveClock(nullptr);
  }

  // The log's lines without their time stamps.
  std::vector<std::string> LogLines(const std::string& extension) const {
    std::vector<std::string> lines;
    std::istringstream text(log_.Text(extension));
    for (std::string line; std::getline(text, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line.size() > 20 ? line.substr(20) : line);
    }
    return lines;
  }

  LogCapture log_;
  ManualClock clock_;
  int32_t events_ = 0;
  SimulatedHid bus_;
};

TEST_F(HidTest, FindsTheBoxAndFaultsFailTheExchangeWithoutFreezing) {
  SimulatedBox& box = bus_.AddBox(1);
  C_HID hid(bus_);
  hid.SetLogError(true);
  hid.SetTimeoutMS(500);
  ASSERT_EQ(hid.HidInit(C_HID::kRemoteBoxMode, 0), 1);  // 0 and 1 both want box 1
  EXPECT_EQ(hid.HIDFilename(), "sim:box1");
  EXPECT_EQ(hid.VondWrite(0) + hid.VondWrite(255), 0);  // codes never sent

  // A stalled box: the read gives up after TimeoutMS, window events running
  // all along; its late answer is the next exchange's.
  box.SetStalled(true);
  box.Press(2);
  const double start = clock_.MonotonicSeconds();
  events_ = 0;
  EXPECT_EQ(hid.VondRead(), -1);
  EXPECT_NEAR(clock_.MonotonicSeconds() - start, 0.5, 0.05);
  EXPECT_GT(events_, 30);
  box.SetStalled(false);
  EXPECT_EQ(hid.VondRead(), 2);

  box.SetWrongPort(true);
  EXPECT_EQ(hid.VondRead(), -1);
  box.SetWrongPort(false);

  // Unplugged: every transfer fails at once; plugged back in, a new start finds it.
  box.SetPlugged(false);
  EXPECT_EQ(hid.VondRead(), -1);
  EXPECT_EQ(hid.VondWrite(1), 0);
  EXPECT_EQ(hid.HidInit(C_HID::kRemoteBoxMode, 1), 0);
  box.SetPlugged(true);
  EXPECT_EQ(hid.HidInit(C_HID::kRemoteBoxMode, 1), 1);
  EXPECT_EQ(hid.VondRead(1), 0xFD);  // input 2 is still held

  EXPECT_EQ(LogLines(".log"),
            (std::vector<std::string>{
                "HIDIO GetOverlappedResult TimeOut pIsRead=1 pOl=1 tTakes=516 c_TimeoutMS=500",
                "HID ReadRequest err1", "HID Port Different", "HIDIO insufficient -1 pIsRead=0",
                "HID InquiryRequst err", "HIDIO insufficient -1 pIsRead=0"}));
}

TEST_F(HidTest, NoRemoteBoxAmongTheSystemsDevices) {
  const auto transport = CreateHidTransport();
  C_HID hid(*transport);
  EXPECT_EQ(hid.HidInit(C_HID::kRemoteBoxMode, 1), 0);
  EXPECT_EQ(hid.VondRead(), 0);
  EXPECT_EQ(hid.VondWrite(1), 0);
  EXPECT_EQ(transport->Open("/dev/hidraw-none"), nullptr);
  EXPECT_EQ(LogLines(".err"),
            (std::vector<std::string>{"HID: cannot open /dev/hidraw-none: No such file or directory"}));
}

}  // namespace
}  // namespace lumora::test
