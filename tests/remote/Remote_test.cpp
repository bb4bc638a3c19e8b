// The remote as the window holds it: start-up from the settings, the tally
// lights, and the poll in pulse and latch mode, against the simulated box.

#include "remote/Remote.h"

#include <gtest/gtest.h>

#include "RemoteTestKit.h"
#include "remote/SimulatedBox.h"
#include "support/Clock.h"
#include "support/EventPump.h"
#include "support/MessageBox.h"

namespace lumora::test {
namespace {

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

TEST_F(RemoteTest, StartUpFromTheSettings) {
  Start({});  // "USBHIDID" 0: no search, no message
  EXPECT_FALSE(remote_.RemoteOpen());
  EXPECT_EQ(box_.Inquiries() + box_.Commands().size(), 0u);
  Start({"USBHIDID=3"});
  EXPECT_FALSE(remote_.RemoteOpen());
  EXPECT_EQ(messages_, (Actions{"tessaronHID not found|16|"}));
  remote_.SetTallyOutput(2, true);  // closed: nothing is sent
  EXPECT_EQ(box_.Commands(), Codes{});
  // Plugged back in, or the right number: a restart finds it.
  Start({"USBHIDID=1"});
  ASSERT_TRUE(remote_.RemoteOpen());
  EXPECT_EQ(box_.Commands(), (Codes{101, 102, 103}));
}

TEST_F(RemoteTest, TallyCodesWithAndWithoutInversion) {
  Start({"USBHIDID=1"});
  remote_.SetTallyOutput(2, true);
  remote_.SetTallyOutput(2, false);
  remote_.SetTallyOutput(3, true);
  Start({"USBHIDID=1", "USBTallyInvert=1"});
  remote_.SetTallyOutput(2, true);
  remote_.SetTallyOutput(1, false);
  remote_.Close();
  remote_.Close();
  EXPECT_EQ(box_.Commands(), (Codes{101, 102, 103, 2, 102, 3,  // plain
                                    1, 2, 3, 102, 1,           // inverted: offs at start, on, off
                                    1, 2, 3}));                // offs before closing
}

TEST_F(RemoteTest, PulseModeRunsTheInputThatFiredOnce) {
  Start({"USBHIDID=1", "HIDfct-03=SAVE"});
  box_.Press(3);
  EXPECT_EQ(Poll(), 1);
  EXPECT_EQ(Poll(), 0);
  for (uint8_t none : {0, 9, 255}) {
    box_.QueueEvent(none);
    EXPECT_EQ(Poll(), 0);
  }
  box_.Press(1);
  box_.Press(6);  // two presses between polls: both run, one per poll
  EXPECT_EQ(Poll(), 1);
  EXPECT_EQ(Poll(), 1);
  box_.SetStalled(true);
  box_.Press(2);
  EXPECT_EQ(Poll(), 0);  // a failed exchange is ignored ...
  box_.SetStalled(false);
  target_.recording = true;
  EXPECT_EQ(Poll(), 1);  // ... and the press comes with the next answer
  EXPECT_EQ(target_.Take(), (Actions{"rec0", "rec1", "play0", "rec2", "rec2"}));
}

TEST_F(RemoteTest, LatchModeRecordsWhileHeldAfterTheDelay) {
  Start({"USBHIDID=1", "USBHID_Latch=1", "HIDwaitms-01=100"});
  box_.Press(1);
  const double pressed = clock_.MonotonicSeconds();
  EXPECT_EQ(Poll(), 1);
  EXPECT_GE(clock_.MonotonicSeconds() - pressed, 0.1);
  EXPECT_EQ(target_.Take(), (Actions{"rec1"}));
  target_.recording = true;
  EXPECT_EQ(Poll(), 0);  // held: nothing more
  box_.SetStalled(true);
  box_.Release(1);
  EXPECT_EQ(Poll(), 0);  // a failed poll keeps the input held ...
  EXPECT_TRUE(remote_.RemoteHeld[0]);
  box_.SetStalled(false);
  EXPECT_EQ(Poll(), 1);  // ... and the release is seen at the next good one
  EXPECT_EQ(target_.Take(), (Actions{"rec2"}));
  EXPECT_FALSE(remote_.RemoteHeld[0]);
}

TEST_F(RemoteTest, LatchModeHeadInputsMoveTheHeadAndResumePlayback) {
  Start({"USBHIDID=1", "USBHID_Latch=1", "HIDfct-06=HEAD_PLUS", "HIDfct-03=PLAY"});
  target_.playing = true;
  box_.Press(6);
  EXPECT_EQ(Poll(), 1);  // the press only notes that playback ran
  EXPECT_EQ(Poll(), 0);
  EXPECT_EQ(Poll(), 0);
  box_.Release(6);
  EXPECT_EQ(Poll(), 1);
  EXPECT_EQ(target_.Take(), (Actions{"head+", "head+", "play2"}));
  // Home moves on the press, once; stopped playback is not resumed.
  target_.playing = false;
  box_.Press(8);
  EXPECT_EQ(Poll(), 1);
  EXPECT_EQ(Poll(), 0);
  box_.Release(8);
  EXPECT_EQ(Poll(), 1);
  // A held PLAY input plays while held.
  box_.Press(3);
  EXPECT_EQ(Poll(), 1);
  target_.playing = true;
  box_.Release(3);
  EXPECT_EQ(Poll(), 1);
  EXPECT_EQ(target_.Take(), (Actions{"home", "play2", "play0"}));
}

}  // namespace
}  // namespace lumora::test
