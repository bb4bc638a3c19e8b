#include <gtest/gtest.h>

#include "capture/CaptureTestKit.h"
#include "platform/SimulatedWave.h"
#include "recording/CaptureDevice.h"

namespace lumora {
namespace {

TEST(DeviceNamesMatch, IgnoresCaseAndTheNumbersThatTellEqualNamesApart) {
  const std::tuple<const char*, const char*, int32_t> cases[] = {
      {"Microphone (4- USB Audio)", "3- Microphone (USB Audio)", 1},
      {"内蔵マイク (2- USB)", "内蔵マイク (USB)", 1},
      {"Microphone (USB Audio)", "Microphone (HD Audio)", 0},
      {"5- Line In", "Line In", 0},   // only 1 ... 4 are such numbers
      {"2- あい", "あい", 1},         // five characters in more bytes
      {"2- a", "a", 0},               // four: too short to carry one
      {"Line In 2- ", "Line In", 0},  // not at the start, not in brackets
  };
  for (const auto& [a, b, match] : cases) {
    EXPECT_EQ(DeviceNamesMatch(a, b), match) << a << " / " << b;
    EXPECT_EQ(DeviceNamesMatch(b, a), match) << b << " / " << a;
  }
}

class DeviceChoice : public test::CaptureTest {
 protected:
  DeviceChoice() {
    for (const char* name : {" Microphone (2- USB Audio) ", "2- Line In", "Line In", "Monitor of Null Output"})
      backend_.AddInput(name, MakeSilence());
    backend_.AddOutput("Null Output");
  }
  SimulatedWave backend_;
};

// Numbers as they stand, then the exact name, then a tolerant one; an unknown
// name is logged (and shown when asked) and gives the default device.
TEST_F(DeviceChoice, FindWaveDevice) {
  const std::tuple<bool, const char*, int32_t> cases[] = {
      {true, " 7 ", 7},        {true, "   ", 0},   {true, "  LINE IN ", 2}, {true, "microphone (usb audio)", 0},
      {false, "null output", 0}, {true, "USB Headset", -1}};
  for (const auto& [input, name, id] : cases) EXPECT_EQ(FindWaveDevice(backend_, input, name, false), id) << name;
  EXPECT_TRUE(messages_.empty());
  EXPECT_NE(LogText().find(" この名前のデバイスを検出できませんでした USB Headset\r\n"), std::string::npos);
  EXPECT_EQ(FindWaveDevice(backend_, false, "Speakers", true), -1);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], "この名前のデバイスを検出できませんでした\nSpeakers");
}

TEST_F(DeviceChoice, FillDeviceListListsTheTrimmedNamesAndSelectsTheStoredOneOrTheFirst) {
  const std::tuple<const char*, bool, int32_t> cases[] = {{"line in", false, 2}, {"Headset", false, -1}, {"", true, 0}};
  for (const auto& [name, selectFirst, selected] : cases) {
    DeviceListModel list{{"old"}, 5};
    FillDeviceList(list, backend_, true, name, selectFirst);
    EXPECT_EQ(list.entries.front(), "Microphone (2- USB Audio)");
    EXPECT_EQ(list.entries.size(), 4u);
    EXPECT_EQ(list.selected, selected) << name;
  }
}

TEST_F(DeviceChoice, SetupFormatReadsTheSelectorsIntoTheFormatRecord) {
  struct Case {
    FormatSelectors selectors;
    int32_t input, output, rate, bits, channels, index;
  };
  // An index outside the list keeps the bit depth; a rate without digits is
  // 0, which no device accepts.
  const Case cases[] = {{{"line in", "Null Output", "48000", 0, 1}, 2, 0, 48000, 24, 1, 4},
                        {{"2- Line In", "", "22050 Hz", 2, 0}, 1, 0, 22050, 8, 2, 1},
                        {{"Gone", "Gone too", "auto", 3, 1}, -1, -1, 0, 8, 1, 0}};
  CaptureFormat capture;
  for (const Case& c : cases) {
    SetupFormat(c.selectors, backend_, capture);
    EXPECT_EQ(std::tie(capture.inputDevice, capture.outputDevice, capture.format.nFreq, capture.format.nBit,
                       capture.format.nCh, capture.formatIndex),
              std::tie(c.input, c.output, c.rate, c.bits, c.channels, c.index));
    EXPECT_EQ(CheckWaveFormat(capture.record), c.rate > 0 ? 0 : kWaveBadFormat);
  }
  EXPECT_TRUE(messages_.empty());  // format set-up never shows a message
}

}  // namespace
}  // namespace lumora
