// C_HID against the simulated box: finding it, the inquiry and command
// exchanges, and the faults of a real box. The system's HID devices: none here.

#include "remote/Hid.h"

#include <gtest/gtest.h>

#include <sstream>

#include "common/LogFiles.h"
#include "common/TempDir.h"
#include "remote/SimulatedBox.h"
#include "support/Clock.h"
#include "support/EventPump.h"
#include "support/Log.h"

namespace lumora::test {
namespace {

class HidTest : public ::testing::Test {
 protected:
  // Each round of window events takes a simulated 1/1024 s (exact in binary,
  // so a wait ends on a known round).
  void SetUp() override {
    SetActiveClock(&clock_);
    SetEventPump([this] {
      ++events_;
      clock_.Advance(1.0 / 1024);
    });
    saved_ = CurrentLogConfig();
    ConfigureLog({1, dir_.folder(), "host", "lumora"});
  }
  void TearDown() override {
    SetEventPump(nullptr);
    SetActiveClock(nullptr);
    ConfigureLog(saved_);
  }

  // The log's lines without their time stamps.
  std::vector<std::string> LogLines(const std::string& extension) const {
    std::vector<std::string> lines;
    std::istringstream text(ReadLogFiles(dir_.folder(), extension));
    for (std::string line; std::getline(text, line);) {
      if (!line.empty() && line.back() == '\r') line.pop_back();
      lines.push_back(line.size() > 20 ? line.substr(20) : line);
    }
    return lines;
  }

  TempDir dir_;
  LogConfig saved_;
  ManualClock clock_;
  int32_t events_ = 0;
  SimulatedHid bus_;
};

TEST_F(HidTest, FindsOnlyTheBoxOfTheWantedNumberAndWritesCommandsToIt) {
  SimulatedBox& box = bus_.AddBox(1);
  C_HID hid(bus_);
  EXPECT_EQ(hid.HidInit(C_HID::kRemoteBoxMode, 3), 0);
  EXPECT_EQ(hid.HidInit(32, 1), 0);
  EXPECT_EQ(hid.VondWrite(2), 0);
  EXPECT_EQ(hid.HidInit(C_HID::kRemoteBoxMode, 0), 1);  // 0 and 1 both want box 1
  EXPECT_EQ(hid.HIDFilename(), "sim:box1");
  EXPECT_EQ(hid.ReceiveSize(), SimulatedHid::kReportLength);
  // Codes 0 and 255 are never sent.
  EXPECT_EQ(hid.VondWrite(0) + hid.VondWrite(255), 0);
  EXPECT_EQ(hid.VondWrite(102) + hid.VondWrite(3), 2);
  EXPECT_EQ(box.Commands(), (std::vector<int32_t>{102, 3}));
  hid.HidClose();
  hid.HidClose();
  EXPECT_EQ(hid.HIDFilename(), "");
}

TEST_F(HidTest, EventAndStateQueries) {
  SimulatedBox& box = bus_.AddBox(3);
  C_HID hid(bus_);
  ASSERT_EQ(hid.HidInit(C_HID::kRemoteBoxMode, 3), 1);
  EXPECT_EQ(hid.VondRead(), 0);  // nothing fired
  box.Press(3);
  EXPECT_EQ(hid.VondRead(), 3);
  EXPECT_EQ(hid.VondRead(), 0);      // an event is reported once
  EXPECT_EQ(hid.VondRead(1), 0xFB);  // input 3 still held: bit 2 low
  box.Release(3);
  EXPECT_EQ(hid.VondRead(1), 255);
  // 255 to an event query is "nothing" and leaves the last value alone ...
  box.QueueEvent(255);
  EXPECT_EQ(hid.VondRead(), 0);
  box.QueueEvent(255);
  EXPECT_EQ(hid.VondRead(0, 1), 255);  // ... unless it is to be kept
  box.QueueEvent(7);
  EXPECT_EQ(hid.VondRead(), 7);
  box.QueueEvent(255);
  EXPECT_EQ(hid.VondRead(), 0);
  hid.HidClose();
  EXPECT_EQ(hid.VondRead(1), 7);  // closed: the last value, at once
  EXPECT_EQ(box.Inquiries(), 9);
}

TEST_F(HidTest, FaultsFailTheExchangeWithoutFreezing) {
  SimulatedBox& box = bus_.AddBox(1);
  C_HID hid(bus_);
  hid.SetLogError(true);
  hid.SetTimeoutMS(20);
  EXPECT_EQ(hid.TimeoutMS(), 50);
  hid.SetTimeoutMS(500);
  ASSERT_EQ(hid.HidInit(C_HID::kRemoteBoxMode, 1), 1);

  // A stalled box: the read gives up after TimeoutMS, window events running
  // all along; its late answer is the next exchange's.
  box.SetStalled(true);
  box.Press(2);
  const double start = clock_.MonotonicSeconds();
  events_ = 0;
  EXPECT_EQ(hid.VondRead(), -1);
  EXPECT_NEAR(clock_.MonotonicSeconds() - start, 0.5, 0.01);
  EXPECT_GT(events_, 400);
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
                "HIDIO GetOverlappedResult TimeOut pIsRead=1 pOl=1 tTakes=501 c_TimeoutMS=500",
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
