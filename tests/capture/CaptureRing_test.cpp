// The capture ring over the simulated devices and over the test sound server,
// and the choice of a device by its name.

#include <gtest/gtest.h>

#include <functional>

#include "common/LogFiles.h"
#include "common/TempDir.h"
#include "platform/PcmTestHelpers.h"
#include "platform/PulseTestKit.h"
#include "platform/SimulatedWave.h"
#include "platform/WaveBackends.h"
#include "platform/WaveError.h"
#include "recording/CaptureDevice.h"
#include "support/MessageBox.h"

namespace lumora {
namespace {

// The log and the message boxes caught in a temporary folder.
class CaptureTest : public testing::Test {
 protected:
  void SetUp() override {
    SetMessagePresenter([this](const std::string& text, int32_t, const std::string&) {
      messages_.push_back(text);
      return static_cast<int32_t>(kAnswerOk);
    });
  }
  void TearDown() override { SetMessagePresenter(nullptr); }
  std::string LogText(const std::string& extension = ".log") const { return log_.Text(extension); }

  test::TempDir dir_;
  test::LogCapture log_;
  std::vector<std::string> messages_;
};

const WaveFormat kCd = MakeWaveFormat(SampleFormat{44100, 16, 2});
constexpr int64_t kFrames = 4410;  // 100 ms at 44100 Hz

std::unique_ptr<SignalSource> Script() {
  return MakeScript({{SignalSegment::Kind::kTone, 2.0, 1000.0, -6.0},
                     {SignalSegment::Kind::kSilence, 1.0},
                     {SignalSegment::Kind::kNoise, 3.0, 0.0, -20.0},
                     {SignalSegment::Kind::kTone, 20.0, 440.0, -1.0}});
}

std::vector<uint8_t> Expected(int64_t first, int64_t frames) {
  return test::Render(*Script(), kCd, first, frames);
}

class CaptureRingTest : public CaptureTest {
 protected:
  void SetUp() override {
    CaptureTest::SetUp();
    sim_.AddInput("Microphone (2- USB Audio)", Script());
  }
  bool Open() { return ring_.SetupCaptureBuffers(kCd, kFrames) == 1 && ring_.OpenCapture(sim_, 0) == 1; }

  // One timer tick's capture work, as the recorder does it: the expected
  // buffer, when done, is collected, copied out and queued again.
  bool CollectNext(std::vector<uint8_t>& captured) {
    const int32_t i = ring_.NextBuffer();
    if ((ring_.Flags(i) & kWaveDone) == 0) return false;
    ring_.Collect(i);
    EXPECT_EQ(ring_.CurrentRange(i).first * kCd.blockAlign, std::ssize(captured)) << "buffer " << i;
    const uint8_t* bytes = ring_.BufferAddress(i, 0);
    captured.insert(captured.end(), bytes, bytes + ring_.BytesRecorded(i));
    EXPECT_EQ(ring_.Requeue(i), 0);
    ring_.MarkRequeued(i);
    return true;
  }
  bool AllIdle() const {
    for (int32_t i = 0; i < kCaptureBuffers; ++i) {
      if (ring_.BufferStatus(i) != kBufferIdle || (ring_.Flags(i) & kWaveInQueue) != 0) return false;
    }
    return true;
  }

  SimulatedWave sim_;
  CaptureRing ring_;
};

// A refused requeue is reported and keeps the ranges; a reopen counts frames
// from its own start.
TEST_F(CaptureRingTest, ARefusedRequeueKeepsTheRangesAndAReopenStartsAfresh) {
  ASSERT_TRUE(Open());
  sim_.Advance(0.1);
  ring_.Collect(0);
  sim_.FailQueueAfter(0, kWaveRefused);
  EXPECT_EQ(ring_.Requeue(0), kWaveRefused);
  EXPECT_EQ(ring_.FrameCounter(), 220500);
  ASSERT_EQ(ring_.Requeue(0), 0);
  EXPECT_EQ(ring_.CurrentRange(0).first, 220500);
  ring_.CloseCapture();
  EXPECT_TRUE(AllIdle());
  sim_.Advance(1.0);  // heard by no one
  ASSERT_EQ(ring_.OpenCapture(sim_, 0), 1);
  EXPECT_EQ(ring_.PreviousRange(0).first, -1);
  sim_.Advance(0.1);
  std::vector<uint8_t> captured;
  ASSERT_TRUE(CollectNext(captured));
  EXPECT_EQ(captured, Expected(48510, kFrames));  // 1.1 s in
}

TEST_F(CaptureRingTest, ARefusedOpenIsShownLeavesTheDeviceClosedAndTheNextStartsAfresh) {
  struct Case {
    std::function<void()> fault;
    int32_t id;
    std::string text;
  };
  const Case cases[] = {
      {[&] { sim_.FailOpen(kWaveAllocated); }, 0, "デバイスは別のプログラムが使用中です。"},
      {[&] { sim_.FailOpen(0); }, 5, "指定されたデバイスはありません。"},
      {[&] { sim_.FailQueueAfter(10, kWaveRefused); }, 0,
       "デバイスが要求を拒否しました (シミュレーション)。"},
  };
  ASSERT_EQ(ring_.SetupCaptureBuffers(kCd, kFrames), 1);
  for (const Case& c : cases) {
    c.fault();
    EXPECT_EQ(ring_.OpenCapture(sim_, c.id), 0) << c.text;
    EXPECT_FALSE(ring_.IsOpen());
    EXPECT_TRUE(AllIdle()) << c.text;
    ASSERT_FALSE(messages_.empty());
    EXPECT_EQ(messages_.back(), "録音デバイス: " + c.text);
  }
  ASSERT_EQ(ring_.OpenCapture(sim_, -1), 1);  // the default device, with fresh ranges
  EXPECT_EQ(ring_.PreviousRange(10).first, -1);
}

// The capture ring on the real sound stack: a PulseAudio source of
// the private test server. Skipped when scripts/with-pulse.sh did not start one.
class RealCapture : public CaptureTest {};

// Polled as the recorder's timer does, the ring hands over the server's sine
// source whole: every buffer full, each range following the last, no gap.
TEST_F(RealCapture, RecordsTheServersSineSourceWithoutAGap) {
  if (!test::PulseServerUp()) GTEST_SKIP() << "no test sound server (scripts/with-pulse.sh)";
  auto backend = CreateSoundSystemWave();
  const int32_t id = FindWaveDevice(*backend, true, "Sine source at 1000 Hz", false);
  ASSERT_GE(id, 0);
  CaptureRing ring;
  ASSERT_EQ(ring.SetupCaptureBuffers(MakeWaveFormat(SampleFormat{48000, 16, 2}), 4800), 1);
  ASSERT_EQ(ring.OpenCapture(*backend, id), 1) << (messages_.empty() ? "" : messages_[0]);
  std::vector<uint8_t> captured;
  ASSERT_TRUE(test::WaitFor(std::chrono::seconds(5), [&] {
    for (int32_t i = ring.NextBuffer(); ring.Flags(i) & kWaveDone; i = ring.NextBuffer()) {
      ring.Collect(i);
      EXPECT_EQ(ring.CurrentRange(i).first * 4, std::ssize(captured));
      EXPECT_EQ(ring.BytesRecorded(i), ring.BufferBytes());
      captured.insert(captured.end(), ring.BufferAddress(i, 0),
                      ring.BufferAddress(i, 0) + ring.BufferBytes());
      EXPECT_EQ(ring.Requeue(i), 0);
      ring.MarkRequeued(i);
    }
    return captured.size() >= 60000 * 4;
  }));
  EXPECT_EQ(ring.LostFrames(), 0);
  const int64_t frames = std::ssize(captured) / 4;
  int64_t position = 0;
  EXPECT_EQ(ring.Position(position), 0);
  EXPECT_GE(position, frames);

  // The source starts at once; skip its first buffer all the same.
  const test::ToneMeasure m = test::MeasureTone(captured, 16, 2, 48000, 4800, 48000);
  EXPECT_NEAR(m.frequency, 1000.0, 0.5);
  EXPECT_GT(m.peak, 1000);
  EXPECT_NEAR(test::MeasureTone(captured, 16, 2, 48000, 50000, 9600).peak, m.peak, m.peak * 0.02);
  int64_t quiet = 0;  // a 1 kHz tone never stays near zero for a whole period
  for (int64_t f = 4800; f < frames; ++f) {
    quiet = std::abs(test::SampleAt(captured.data(), f * 2, 16)) < m.peak / 10 ? quiet + 1 : 0;
    ASSERT_LT(quiet, 48) << "a gap at frame " << f;
  }
}

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

class DeviceChoice : public CaptureTest {
 protected:
  DeviceChoice() {
    for (const char* name :
         {" Microphone (2- USB Audio) ", "2- Line In", "Line In", "Monitor of Null Output"})
      backend_.AddInput(name, MakeSilence());
    backend_.AddOutput("Null Output");
  }
  SimulatedWave backend_;
};

// Numbers as they stand, then the exact name, then a tolerant one; an unknown
// name is logged (and shown when asked) and gives the default device.
TEST_F(DeviceChoice, FindWaveDevice) {
  const std::tuple<bool, const char*, int32_t> cases[] = {
      {true, " 7 ", 7},          {true, "   ", 0},
      {true, "  LINE IN ", 2},   {true, "microphone (usb audio)", 0},
      {false, "null output", 0}, {true, "USB Headset", -1}};
  for (const auto& [input, name, id] : cases)
    EXPECT_EQ(FindWaveDevice(backend_, input, name, false), id) << name;
  EXPECT_TRUE(messages_.empty());
  EXPECT_NE(LogText().find(" この名前のデバイスを検出できませんでした USB Headset\r\n"), std::string::npos);
  EXPECT_EQ(FindWaveDevice(backend_, false, "Speakers", true), -1);
  ASSERT_EQ(messages_.size(), 1u);
  EXPECT_EQ(messages_[0], "この名前のデバイスを検出できませんでした\nSpeakers");
}

TEST_F(DeviceChoice, FillDeviceListListsTheTrimmedNamesAndSelectsTheStoredOneOrTheFirst) {
  const std::tuple<const char*, bool, int32_t> cases[] = {
      {"line in", false, 2}, {"Headset", false, -1}, {"", true, 0}};
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
