#pragma once
// Playback on simulated devices and simulated time: a session and a view that
// keep what they are told, sample files, and a run of the transport's ticks
// until playback stops.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "common/LogFiles.h"
#include "common/Pcm.h"
#include "common/TempDir.h"
#include "platform/PcmTestHelpers.h"
#include "platform/SimulatedWave.h"
#include "playback/PlayEngine.h"
#include "playback/PlayTransport.h"

namespace lumora::test {

class FakeSession final : public PlaySession {
 public:
  std::string LastTakePath() const override { return path; }
  int32_t OutputDevice() const override { return -1; }
  int32_t SampleRate() const override { return rate; }
  std::optional<RunningTake> Recording() const override { return recording; }

  std::string path;
  int32_t rate = 44100;
  std::optional<RunningTake> recording;
};

class FakeView final : public PlayView {
 public:
  void SetPlayButtonLook(PlayButtonLook value) override { look = value; }
  void SetPositionMax(int64_t frames) override { max = frames; }
  void SetPosition(int64_t frames) override { position = frames; }
  void ShowPlayTime(const std::string& text) override { time = text; }
  void ClearPlaybackLevels() override {}
  void PlaybackStarted(const std::string& path, int64_t frame) override {
    events.push_back("play " + path + " " + std::to_string(frame));
  }
  void PlaybackEnded(const std::string& path, int64_t frames) override {
    events.push_back("end " + path + " " + std::to_string(frames));
  }

  PlayButtonLook look = PlayButtonLook::kInactive;
  int64_t max = 0;
  int64_t position = 0;
  std::string time;
  std::vector<std::string> events;
};

class FakeTally final : public TallySink {
 public:
  void SendTally(int32_t code) override { codes.push_back(code); }
  int32_t TallyInvert() const override { return invert; }
  std::vector<int32_t> codes;
  int32_t invert = 0;
};

// round(s * g) with halves to even, clipped as the format clips.
inline int32_t Scaled(int32_t s, float gain, int32_t bits) {
  const double x = std::nearbyint(s * static_cast<double>(gain));
  if (bits == 8) return static_cast<int32_t>(std::clamp(x + 128.0, 0.0, 255.0)) - 128;
  if (bits == 16) return static_cast<int32_t>(std::clamp(x, -32767.0, 32767.0));
  return static_cast<int32_t>(std::clamp(x, -8388608.0, 8388607.0));
}

class PlaybackTest : public testing::Test {
 protected:
  PlaybackTest() {
    output_ = devices_.AddOutput("Speakers");
    session_.path = dir_.file("take.wav");
  }

  void WriteTake(int32_t rate, int32_t bits, int32_t channels, const std::vector<uint8_t>& data) {
    ASSERT_TRUE(WriteWav(session_.path, rate, bits, channels, data));
    session_.rate = rate;
  }
  // 40 ms of simulated time, then one tick of the transport.
  void Tick() {
    devices_.Advance(0.04);
    transport_.Tick(true);
  }
  void Ticks(int32_t n) {
    for (int32_t k = 0; k < n; ++k) Tick();
  }
  // Ticks until playback has stopped (at most `seconds` of simulated time).
  void PlayToEnd(double seconds = 60) {
    for (int n = 0; transport_.PlayRequested() && n < seconds / 0.04; ++n) Tick();
    EXPECT_EQ(transport_.PlayRequested(), 0) << "still playing after " << seconds << " s";
  }
  std::vector<uint8_t> Heard() const { return devices_.OutputBytes(output_); }
  // Plays the take from its start to its end: what the device played.
  std::vector<uint8_t> PlayWhole() {
    const auto before = static_cast<std::ptrdiff_t>(Heard().size());
    transport_.PlayButtonClick(0);  // stop, or rewind
    transport_.PlayButtonClick(2);
    PlayToEnd();
    const std::vector<uint8_t> heard = Heard();
    return std::vector<uint8_t>(heard.begin() + before, heard.end());
  }
  // "play PATH FRAME" of the take.
  std::string PlayEvent(int64_t frame) const { return "play " + session_.path + " " + std::to_string(frame); }

  LogCapture log_;
  TempDir dir_;
  SimulatedWave devices_;
  int32_t output_ = -1;
  FakeSession session_;
  FakeView view_;
  FakeTally tally_;
  PlayEngine engine_{devices_, session_};
  PlayTransport transport_{engine_, view_, session_, &tally_};
};

}  // namespace lumora::test
