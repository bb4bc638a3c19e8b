#include <gtest/gtest.h>

#include "capture/CaptureTestKit.h"
#include "recording/CaptureDevice.h"

namespace lumora {
namespace {

using test::CaptureTest;
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
      {"LINE IN", "line in", 1},
      {"Microphone (4- USB Audio)", "3- Microphone (USB Audio)", 1},
      {"内蔵マイク (2- USB)", "内蔵マイク (USB)", 1},
      {"Monitor of Null Output", "monitor of null output", 1},
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

class FindWaveDeviceTest : public CaptureTest {
 protected:
  NamesOnly backend_{{"Microphone (2- USB Audio)", "2- Line In", "Line In", "Monitor of Null Output"},
                     {"Null Output"}};
};

TEST_F(FindWaveDeviceTest, NumbersAndEmptyNamesNeedNoList) {
  EXPECT_EQ(FindWaveDevice(backend_, true, "1", true), 1);
  EXPECT_EQ(FindWaveDevice(backend_, true, " 7 ", true), 7);
  EXPECT_EQ(FindWaveDevice(backend_, true, "-1", true), -1);
  EXPECT_EQ(FindWaveDevice(backend_, true, "", true), 0);
  EXPECT_EQ(FindWaveDevice(backend_, true, "   ", true), 0);
  EXPECT_EQ(backend_.listings, 0);
  EXPECT_TRUE(messages_.empty());
}

TEST_F(FindWaveDeviceTest, TheExactPassComesBeforeTheTolerantOne) {
  EXPECT_EQ(FindWaveDevice(backend_, true, "line in", false), 2);
  EXPECT_EQ(FindWaveDevice(backend_, true, "  LINE IN ", false), 2);
  EXPECT_EQ(FindWaveDevice(backend_, true, "microphone (usb audio)", false), 0);
  EXPECT_EQ(FindWaveDevice(backend_, true, "Monitor of Null Output", false), 3);
  EXPECT_EQ(FindWaveDevice(backend_, false, "null output", false), 0);
  EXPECT_EQ(LogText(), "");
}

TEST_F(FindWaveDeviceTest, AnUnknownNameIsLoggedAndGivesTheDefaultDevice) {
  EXPECT_EQ(FindWaveDevice(backend_, true, "USB Headset", false), -1);
  EXPECT_TRUE(messages_.empty());
  const std::string log = LogText();
  EXPECT_NE(log.find(" この名前のデバイスを検出できませんでした USB Headset\r\n"), std::string::npos) << log;
  EXPECT_EQ(LogText(".err"), "");

  EXPECT_EQ(FindWaveDevice(backend_, false, "Speakers", true), -1);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0].text, "この名前のデバイスを検出できませんでした\nSpeakers");
  EXPECT_EQ(messages_[0].style, kCritical);
  EXPECT_NE(LogText().find("この名前のデバイスを検出できませんでした Speakers"), std::string::npos);
}

TEST_F(FindWaveDeviceTest, NoDeviceOfTheKindGivesDeviceZero) {
  NamesOnly none({}, {});
  EXPECT_EQ(FindWaveDevice(none, true, "Line In", true), 0);
  EXPECT_TRUE(messages_.empty());
  EXPECT_EQ(LogText(), "");
}

TEST(FillDeviceList, ListsTheNamesAndSelectsTheStoredOne) {
  NamesOnly backend({" Microphone (2- USB Audio) ", "2- Line In", "Line In"}, {});
  DeviceListModel list;
  list.selected = 5;
  FillDeviceList(list, backend, true, "line in", false);
  EXPECT_EQ(list.entries, (std::vector<std::string>{"Microphone (2- USB Audio)", "2- Line In", "Line In"}));
  EXPECT_EQ(list.selected, 2);  // the exact pass wins over "2- Line In"

  FillDeviceList(list, backend, true, "MICROPHONE (USB AUDIO)", false);
  EXPECT_EQ(list.selected, 0);
  FillDeviceList(list, backend, true, "Headset", false);
  EXPECT_EQ(list.selected, -1);
  FillDeviceList(list, backend, true, "Headset", true);
  EXPECT_EQ(list.selected, 0);
  FillDeviceList(list, backend, true, "", true);
  EXPECT_EQ(list.selected, 0);
  FillDeviceList(list, backend, true, "", false);
  EXPECT_EQ(list.selected, -1);

  FillDeviceList(list, backend, false, "Line In", true);  // no output devices
  EXPECT_TRUE(list.entries.empty());
  EXPECT_EQ(list.selected, -1);
}

class SetupFormatTest : public CaptureTest {};

TEST_F(SetupFormatTest, ReadsTheSelectorsIntoTheFormatRecord) {
  NamesOnly backend({"Microphone", "Line In"}, {"Speakers", "Null Output"});
  CaptureFormat capture;
  SetupFormat({"line in", "Null Output", "48000", 0, 1}, backend, capture);
  EXPECT_EQ(capture.inputDevice, 1);
  EXPECT_EQ(capture.outputDevice, 1);
  EXPECT_EQ(capture.format.nFreq, 48000);
  EXPECT_EQ(capture.format.nBit, 24);
  EXPECT_EQ(capture.format.nCh, 1);
  EXPECT_EQ(capture.formatIndex, 4);
  EXPECT_EQ(capture.record.formatTag, 1);
  EXPECT_EQ(capture.record.channels, 1);
  EXPECT_EQ(capture.record.samplesPerSec, 48000);
  EXPECT_EQ(capture.record.blockAlign, 3);
  EXPECT_EQ(capture.record.avgBytesPerSec, 144000);
  EXPECT_EQ(capture.record.bitsPerSample, 24);
  EXPECT_EQ(capture.record.extraSize, 0);

  SetupFormat({"Microphone", "", "22050 Hz", 2, 0}, backend, capture);
  EXPECT_EQ(capture.inputDevice, 0);
  EXPECT_EQ(capture.outputDevice, 0);
  EXPECT_EQ(capture.format.nFreq, 22050);
  EXPECT_EQ(capture.format.nBit, 8);
  EXPECT_EQ(capture.format.nCh, 2);
  EXPECT_EQ(capture.formatIndex, 1);

  // An index outside the list keeps the bit depth; a rate without digits is 0,
  // which no device accepts.
  SetupFormat({"Gone", "Gone too", "auto", 7, 1}, backend, capture);
  EXPECT_EQ(capture.inputDevice, -1);
  EXPECT_EQ(capture.outputDevice, -1);
  EXPECT_EQ(capture.format.nBit, 8);
  EXPECT_EQ(capture.format.nCh, 1);
  EXPECT_EQ(capture.format.nFreq, 0);
  EXPECT_EQ(CheckWaveFormat(capture.record), kWaveBadFormat);
  EXPECT_TRUE(messages_.empty());  // format set-up never shows a message
  EXPECT_NE(LogText().find("この名前のデバイスを検出できませんでした Gone too"), std::string::npos);
}

class WaveErrorReportTest : public CaptureTest {};

TEST_F(WaveErrorReportTest, LogsOrShowsTheTextOfTheCode) {
  EXPECT_EQ(WaveErrorReport(0, false, false), 1);
  EXPECT_TRUE(messages_.empty());
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
