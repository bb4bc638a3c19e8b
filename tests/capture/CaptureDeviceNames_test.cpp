#include <gtest/gtest.h>

#include "capture/CaptureTestKit.h"
#include "recording/CaptureDevice.h"

namespace lumora {
namespace {

using test::NamesOnly;

TEST(DeviceNamesMatch, IgnoresCaseAndTheNumbersThatTellEqualNamesApart) {
  struct Case {
    const char* a;
    const char* b;
    int32_t match;
  };
  const Case cases[] = {
      {"Microphone (2- USB Audio)", "microphone (usb audio)", 1},
      {"2- Line In", "Line In", 1},
      {"Microphone (4- USB Audio)", "3- Microphone (USB Audio)", 1},
      {"内蔵マイク (2- USB)", "内蔵マイク (USB)", 1},
      {"Monitor of Built-in Audio Analog Stereo", "Monitor of Built-in Audio Digital Stereo", 0},
      {"Microphone (USB Audio)", "Microphone (HD Audio)", 0},
      {"5- Line In", "Line In", 0},   // only 1 ... 4 are such numbers
      {"2- ab", "ab", 1},             // five characters: the prefix goes
      {"2- a", "a", 0},               // four: too short to carry one
      {"2- あい", "あい", 1},         // five characters in more bytes
      {"Line In 2- ", "Line In", 0},  // not at the start, not in brackets
  };
  for (const Case& c : cases) {
    EXPECT_EQ(DeviceNamesMatch(c.a, c.b), c.match) << c.a << " / " << c.b;
    EXPECT_EQ(DeviceNamesMatch(c.b, c.a), c.match) << c.b << " / " << c.a;
  }
}

class DeviceChoice : public test::CaptureTest {
 protected:
  NamesOnly backend_{{" Microphone (2- USB Audio) ", "2- Line In", "Line In", "Monitor of Null Output"},
                     {"Null Output"}};
};

TEST_F(DeviceChoice, FindWaveDeviceTakesNumbersAsTheyStandThenTheExactNameThenATolerantOne) {
  struct Case {
    bool input;
    const char* name;
    int32_t id;
    bool lists;
  };
  const Case cases[] = {
      {true, "1", 1, false},           {true, " 7 ", 7, false},
      {true, "-1", -1, false},         {true, "   ", 0, false},
      {true, "line in", 2, true},      {true, "  LINE IN ", 2, true},
      {false, "null output", 0, true}, {true, "microphone (usb audio)", 0, true},
  };
  for (const Case& c : cases) {
    const int before = backend_.listings;
    EXPECT_EQ(FindWaveDevice(backend_, c.input, c.name, true), c.id) << c.name;
    EXPECT_EQ(backend_.listings > before, c.lists) << c.name;
  }
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(LogText(), "");
}

TEST_F(DeviceChoice, FindWaveDeviceLogsAnUnknownNameAndGivesTheDefaultDevice) {
  NamesOnly none({}, {});
  EXPECT_EQ(FindWaveDevice(none, true, "Line In", true), 0);  // nothing to choose from: device 0
  EXPECT_EQ(LogText(), "");
  EXPECT_EQ(FindWaveDevice(backend_, true, "USB Headset", false), -1);
  EXPECT_TRUE(messages_.empty());
  EXPECT_NE(LogText().find(" この名前のデバイスを検出できませんでした USB Headset\r\n"), std::string::npos);
  EXPECT_EQ(FindWaveDevice(backend_, false, "Speakers", true), -1);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].text, "この名前のデバイスを検出できませんでした\nSpeakers");
  EXPECT_EQ(messages_[0].style, kCritical);
  EXPECT_EQ(LogText(".err"), "");
}

TEST_F(DeviceChoice, FillDeviceListListsTheTrimmedNamesAndSelectsTheStoredOneOrTheFirst) {
  struct Case {
    const char* name;
    bool selectFirst;
    int32_t selected;
  };
  const Case cases[] = {
      {"line in", false, 2}, {"Headset", false, -1}, {"Headset", true, 0}, {"", true, 0}, {"", false, -1}};
  for (const Case& c : cases) {
    DeviceListModel list{{"old"}, 5};
    FillDeviceList(list, backend_, true, c.name, c.selectFirst);
    EXPECT_EQ(list.entries, (std::vector<std::string>{"Microphone (2- USB Audio)", "2- Line In", "Line In",
                                                      "Monitor of Null Output"}));
    EXPECT_EQ(list.selected, c.selected) << c.name << " " << c.selectFirst;
  }
  DeviceListModel list{{"old"}, 5};
  NamesOnly none({}, {});
  FillDeviceList(list, none, true, "Line In", true);
  EXPECT_TRUE(list.entries.empty());
  EXPECT_EQ(list.selected, -1);
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
    EXPECT_EQ(capture.inputDevice, c.input);
    EXPECT_EQ(capture.outputDevice, c.output);
    EXPECT_EQ(capture.format.nFreq, c.rate);
    EXPECT_EQ(capture.format.nBit, c.bits);
    EXPECT_EQ(capture.format.nCh, c.channels);
    EXPECT_EQ(capture.formatIndex, c.index);
    EXPECT_EQ(capture.record.avgBytesPerSec, c.rate * c.bits / 8 * c.channels);
    EXPECT_EQ(CheckWaveFormat(capture.record), c.rate > 0 ? 0 : kWaveBadFormat);
  }
  EXPECT_TRUE(messages_.empty());  // format set-up never shows a message
  EXPECT_NE(LogText().find("この名前のデバイスを検出できませんでした Gone too"), std::string::npos);
}

TEST_F(DeviceChoice, WaveErrorReportLogsOrShowsTheTextOfTheCode) {
  EXPECT_EQ(WaveErrorReport(0, false, false), 1);
  EXPECT_EQ(LogText(".err"), "");
  EXPECT_EQ(WaveErrorReport(kWaveDeviceRemoved, false, true), 1);
  EXPECT_TRUE(messages_.empty());
  EXPECT_NE(LogText(".err").find(" 録音デバイス: デバイスが取り外されました。\r\n"), std::string::npos);
  EXPECT_EQ(WaveErrorReport(kWaveAllocated, true, false), 1);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].text, "再生デバイス: デバイスは別のプログラムが使用中です。");
  EXPECT_EQ(messages_[0].style, kOkOnly);
  EXPECT_EQ(messages_[0].title, "lumora");
}

}  // namespace
}  // namespace lumora
