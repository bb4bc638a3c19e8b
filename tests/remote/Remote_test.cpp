// The remote: C_HID against the simulated box and its faults, the report
// descriptors of real devices; the remote as the window holds it (start-up from
// the settings, the tally lights, the poll in pulse and latch mode); the
// function keys; and lumora-rec driven by a scripted box and by commands.

#include "remote/Remote.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <sstream>
#include <string>
#include <tuple>
#include <vector>

#include "common/LogFiles.h"
#include "common/ProgramRun.h"
#include "common/SndfileCheck.h"
#include "common/TempDir.h"
#include "remote/CommandTarget.h"
#include "remote/Functions.h"
#include "remote/Hid.h"
#include "remote/ReportDescriptor.h"
#include "remote/SimulatedBox.h"
#include "settings/Settings.h"
#include "support/Clock.h"
#include "support/EventPump.h"
#include "support/MessageBox.h"

namespace lumora::test {
namespace {

// Settings in an ini file of the test's folder, with KEY=VALUE overrides.
std::unique_ptr<Settings> TestSettings(const TempDir& dir, const std::vector<std::string>& sets) {
  auto settings = std::make_unique<Settings>(dir.folder());
  EXPECT_EQ(settings->UseIniFile(dir.file("test.ini")), SettingsArgumentError::kNone);
  settings->FixSession(0);
  for (const auto& set : sets) EXPECT_EQ(settings->AddOverride(set), SettingsArgumentError::kNone) << set;
  return settings;
}

class FakeTarget final : public CommandTarget {
 public:
  bool IsRecording() const override { return recording; }
  bool IsPlaying() const override { return playing; }
  void ClickRecButton(int32_t index) override { actions.push_back("rec" + std::to_string(index)); }
  void ClickPlayButton(int32_t index) override { actions.push_back("play" + std::to_string(index)); }
  void ClickRegButton() override { actions.push_back("reg"); }
  void HeadPlus() override { actions.push_back("head+"); }
  void HeadMinus() override { actions.push_back("head-"); }
  void HeadHome() override { actions.push_back("home"); }

  // The actions since the last call, and no more.
  std::vector<std::string> Take() { return std::exchange(actions, {}); }

  bool recording = false;
  bool playing = false;
  std::vector<std::string> actions;
};

using Actions = std::vector<std::string>;
using Codes = std::vector<int32_t>;

class RemoteTest : public ::testing::Test {
 protected:
  void SetUp() override {
    SetActiveClock(&clock_);
    SetEventPump([this] { clock_.Advance(0.01); });
    SetMessagePresenter([this](const std::string& text, int32_t style, const std::string& title) {
      messages_.push_back(text + "|" + std::to_string(style) + "|" + title);
      return kAnswerOk;
    });
  }
  void TearDown() override {
    SetMessagePresenter(nullptr);
    SetEventPump(nullptr);
    SetActiveClock(nullptr);
  }

  // The remote started from these settings.
  void Start(const std::vector<std::string>& sets) {
    auto settings = TestSettings(dir_, sets);
    maps_ = LoadControlMaps(*settings);
    remote_.InitHID(*settings);
  }
  int32_t Poll() { return remote_.PollRemote(maps_, target_); }

  TempDir dir_;
  ManualClock clock_;
  std::vector<std::string> messages_;
  SimulatedHid bus_;
  SimulatedBox& box_ = bus_.AddBox(1);
  Remote remote_{bus_};
  ControlMaps maps_;
  FakeTarget target_;
};

TEST_F(RemoteTest, StartUpAndTallyCodesWithAndWithoutInversion) {
  Start({});  // "USBHIDID" 0: no search, no message
  Start({"USBHIDID=3"});
  EXPECT_FALSE(remote_.RemoteOpen());
  EXPECT_EQ(messages_, (Actions{"tessaronHID not found|16|"}));
  remote_.SetTallyOutput(2, true);  // closed: nothing is sent
  Start({"USBHIDID=1"});
  ASSERT_TRUE(remote_.RemoteOpen());
  remote_.SetTallyOutput(2, true);
  remote_.SetTallyOutput(3, false);
  Start({"USBHIDID=1", "USBTallyInvert=1"});
  remote_.SetTallyOutput(2, true);
  remote_.Close();
  remote_.Close();
  EXPECT_EQ(box_.Commands(), (Codes{101, 102, 103, 2, 103,  // offs at start, on, off
                                    1, 2, 3, 102,           // inverted
                                    1, 2, 3}));             // offs before closing, once
}

TEST_F(RemoteTest, PulseModeRunsTheInputThatFiredOnce) {
  Start({"USBHIDID=1", "HIDfct-03=SAVE"});
  box_.Press(3);
  EXPECT_EQ(Poll(), 1);
  EXPECT_EQ(Poll(), 0);
  box_.QueueEvent(9);
  EXPECT_EQ(Poll(), 0);
  box_.Press(1);
  box_.Press(6);  // two presses between polls: both run, one per poll
  EXPECT_EQ(Poll() + Poll(), 2);
  box_.SetStalled(true);
  box_.Press(2);
  EXPECT_EQ(Poll(), 0);  // a failed exchange is ignored ...
  box_.SetStalled(false);
  target_.recording = true;
  EXPECT_EQ(Poll(), 1);  // ... and the press comes with the next answer
  EXPECT_EQ(target_.Take(), (Actions{"rec0", "rec1", "play0", "rec2", "rec2"}));
}

TEST_F(RemoteTest, LatchModeHeldInputsSurviveAFailedPoll) {
  Start({"USBHIDID=1", "USBHID_Latch=1"});
  box_.Press(1);
  EXPECT_EQ(Poll(), 1);
  target_.recording = true;
  EXPECT_EQ(Poll(), 0);  // held: nothing more
  box_.SetStalled(true);
  box_.Release(1);
  EXPECT_EQ(Poll(), 0);  // a failed poll keeps the input held ...
  EXPECT_TRUE(remote_.RemoteHeld[0]);
  box_.SetStalled(false);
  EXPECT_EQ(Poll(), 1);  // ... and the release is seen at the next good one
  EXPECT_EQ(target_.Take(), (Actions{"rec1", "rec2"}));
}

TEST_F(RemoteTest, LatchModeHeadInputsMoveTheHeadAndResumePlayback) {
  Start({"USBHIDID=1", "USBHID_Latch=1", "HIDfct-06=HEAD_PLUS"});
  target_.playing = true;
  box_.Press(6);
  EXPECT_EQ(Poll(), 1);  // the press only notes that playback ran
  EXPECT_EQ(Poll() + Poll(), 0);
  box_.Release(6);
  EXPECT_EQ(Poll(), 1);
  // Home moves on the press, once; stopped playback is not resumed.
  target_.playing = false;
  box_.Press(8);
  EXPECT_EQ(Poll() + Poll(), 1);
  box_.Release(8);
  EXPECT_EQ(Poll(), 1);
  EXPECT_EQ(target_.Take(), (Actions{"head+", "head+", "play2", "home"}));
}

// What each function key does to the window, built in or stored.
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

// lumora-rec driven by commands: a scripted remote box and command names on
// standard input start and stop the takes; the takes are checked as files.
constexpr int32_t kRate = 48000;

class RemoteRec : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_EQ(std::system(("sox -n -r 48000 -c 2 -b 16 " + input_ + " synth 5 sine 440").c_str()), 0);
  }

  // lumora-rec; feed is a shell command whose output becomes standard input.
  RunResult Run(const std::string& args, const std::string& feed = "true") {
    return RunRec(dir_, args, feed + " | ");
  }

  // The length of a take in frames, which must read as a strict WAV file.
  static int64_t FramesOf(const std::string& take) {
    const SndfileView view = ReadWithSndfile(take);
    EXPECT_TRUE(view.strict) << take;
    return view.frames;
  }

  std::string Script(const std::string& lines) {
    const std::string path = dir_.file("script.txt");
    WriteText(path, lines);
    return path;
  }

  TempDir dir_;
  std::string input_ = dir_.file("in.wav");
};

TEST_F(RemoteRec, ScriptedBoxRecordsInPulseAndLatchMode) {
  struct Case {
    const char* mode;
    const char* script;
    double lengthSeconds;
  };
  const std::vector<Case> cases{
      // Input 1 records and input 2 stops: a press each.
      {"", "1.0 press 1\n1.1 release 1\n3.0 press 2\n3.1 release 2\n", 2.0},
      // Latched: input 1 records while it is held, from half a second (its
      // delay, on simulated time) after it closed.
      {"--set USBHID_Latch=1 --set HIDwaitms-01=500", "# held for 1.5 s\n1.0 press 1\n2.5 release 1\n", 1.0},
  };
  for (const Case& c : cases) {
    const RunResult run =
        Run(std::string(c.mode) + " --input-file " + input_ + " --fast --remote-script " + Script(c.script));
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const std::string take = dir_.file("new.wav");
    const int64_t frames = FramesOf(take);
    EXPECT_NEAR(frames, c.lengthSeconds * kRate, 0.2 * kRate) << c.mode;
    // The box's tally lights: all off at the start, recording on and off, all off at the end.
    EXPECT_EQ(run.out, "tally 101\ntally 102\ntally 103\ntally 2\nstart " + take + "\ntally 102\nstop " +
                           take + " " + std::to_string(frames) + "\ntally 101\ntally 102\ntally 103\n")
        << c.mode;
  }
}

TEST_F(RemoteRec, CommandsFromStandardInput) {
  const RunResult run =
      Run("--commands --set Sequential=1 --input-file " + input_,
          "(sleep 1.5; echo REC; sleep 1; echo BOGUS; echo REC_STOP; sleep 0.2; echo REC; sleep 0.5)");
  ASSERT_EQ(run.exitCode, 0) << run.err;
  EXPECT_NE(run.err.find("not a command: \"BOGUS\""), std::string::npos) << run.err;
  const std::string first = dir_.file("new01.wav"), second = dir_.file("new02.wav");
  const int64_t frames1 = FramesOf(first), frames2 = FramesOf(second);
  // Real time, after the program is up (slow under the sanitizers).
  EXPECT_GT(frames1, 0.5 * kRate);
  EXPECT_LT(frames1, 1.2 * kRate);
  EXPECT_GT(frames2, 0.2 * kRate);
  // The second take ran until standard input ended.
  EXPECT_EQ(run.out, "start " + first + "\nstop " + first + " " + std::to_string(frames1) + "\nstart " +
                         second + "\nstop " + second + " " + std::to_string(frames2) + "\n");
}

TEST_F(RemoteRec, RefusalsOfTheRemoteOptions) {
  const RunResult noBox = Run("--remote --test-signal");
  EXPECT_EQ(noBox.exitCode, 1);
  EXPECT_NE(noBox.err.find("tessaronHID not found"), std::string::npos) << noBox.err;
  const RunResult badLine = Run("--test-signal --remote-script " + Script("1.0 press 9\n"));
  EXPECT_EQ(badLine.exitCode, 1);
  EXPECT_NE(badLine.err.find("script.txt:1:"), std::string::npos) << badLine.err;
  EXPECT_EQ(Run("--remote --remote-script " + Script("")).exitCode, 2);
}

// C_HID against the simulated box: finding it, the inquiry and command
// exchanges, and the faults of a real box. The system's HID devices: none here.
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
