// C_HID against the simulated box: finding it, the inquiry and command
// exchanges, and the faults of a real box. The system's HID devices: none here.

#include "remote/Hid.h"

#include <gtest/gtest.h>

#include <sstream>
#include <tuple>

#include "common/LogFiles.h"
#include "remote/ReportDescriptor.h"
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

// Report lengths from real devices' report descriptors.
struct DescriptorCase {
  const char* device;
  std::vector<uint8_t> bytes;
  ReportLengths expected;
};

// A vendor-defined I/O board: 64 bytes each way (a two-byte logical maximum).
const std::vector<uint8_t> kVendorIo{0x06, 0x00, 0xFF, 0x09, 0x01, 0xA1, 0x01, 0x15, 0x00,
                                     0x26, 0xFF, 0x00, 0x75, 0x08, 0x95, 0x40, 0x09, 0x01,
                                     0x81, 0x02, 0x95, 0x40, 0x09, 0x01, 0x91, 0x02, 0xC0};

// Keyboard (report 1, 8 bytes) and consumer keys (report 2, one 16-bit usage).
const std::vector<uint8_t> kNumberedKeyboard{
    0x05, 0x01, 0x09, 0x06, 0xA1, 0x01, 0x85, 0x01, 0x05, 0x07, 0x19, 0xE0, 0x29, 0xE7, 0x15,
    0x00, 0x25, 0x01, 0x75, 0x01, 0x95, 0x08, 0x81, 0x02, 0x95, 0x01, 0x75, 0x08, 0x81, 0x01,
    0x95, 0x06, 0x75, 0x08, 0x15, 0x00, 0x26, 0xFF, 0x00, 0x05, 0x07, 0x19, 0x00, 0x2A, 0xFF,
    0x00, 0x81, 0x00, 0xC0, 0x05, 0x0C, 0x09, 0x01, 0xA1, 0x01, 0x85, 0x02, 0x15, 0x00, 0x26,
    0xFF, 0x03, 0x19, 0x00, 0x2A, 0xFF, 0x03, 0x75, 0x10, 0x95, 0x01, 0x81, 0x00, 0xC0};

std::vector<uint8_t> With(std::vector<uint8_t> bytes, std::initializer_list<uint8_t> more) {
  bytes.insert(bytes.end(), more);
  return bytes;
}

// The report number byte counts in the lengths; broken descriptors give none.
TEST(ReportDescriptor, LengthsOfRealDevicesAndBrokenOnes) {
  const std::vector<DescriptorCase> cases{
      {"vendor I/O board", kVendorIo, {65, 65, false}},
      {"numbered keyboard", kNumberedKeyboard, {9, 0, true}},
      // Push keeps the 8-bit size for after a 1-bit field; a long item sizes nothing.
      {"push, pop, long item",
       {0x75, 0x08, 0x95, 0x02, 0xA4, 0x75, 0x01, 0x81, 0x02, 0xB4, 0x81, 0x02, 0xFE, 0x02, 0x10, 0xAA, 0xBB},
       {4, 0, false}},
      {"an item cut short", With(kVendorIo, {0x26, 0xFF}), {}},
      {"a long item cut short", With(kVendorIo, {0xFE, 0x05, 0x00}), {}},
      {"Pop without Push", With(kVendorIo, {0xB4}), {}},
      {"report ID 0", With(kVendorIo, {0x85, 0x00}), {}},
  };
  for (const auto& c : cases) {
    const ReportLengths got = ParseReportLengths(c.bytes);
    EXPECT_EQ(std::tie(got.input, got.output, got.numbered),
              std::tie(c.expected.input, c.expected.output, c.expected.numbered))
        << c.device;
  }
}

}  // namespace
}  // namespace lumora::test
