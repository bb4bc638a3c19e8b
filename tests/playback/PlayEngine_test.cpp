// Whole files played through the engine into the simulated output: what comes
// out is compared sample by sample with what should be heard.

#include <cstdlib>

#include "formats/Mp3acm.h"
#include "meters/Levels.h"
#include "playback/PlaybackKit.h"
#include "playback/RecorderPlaySession.h"
#include "recording/RecorderFixture.h"

namespace lumora::test {
namespace {

// Unity gain plays every format exactly as stored (even -32768); a play level
// scales every sample to round(s * g), clipped. A take of more buffers than
// the ring holds and one shorter than a buffer alike.
TEST_F(PlaybackTest, EverySampleComesOutAtThePlayLevel) {
  for (const float db : {0.0f, -6.0f, 20.0f}) {
    for (const int32_t bits : {8, 16, 24}) {
      for (const int32_t channels : {1, 2}) {
        const int64_t frames = bits == 16 && channels == 2 ? 8000 * 6 : 500;
        SCOPED_TRACE(testing::Message() << db << " dB, " << bits << " bit, " << channels << " ch");
        const std::vector<int32_t> samples = Ramp(frames, channels, bits);
        WriteTake(8000, bits, channels, Pcm(samples, bits));
        const float gain = DbToLin(db);
        engine_.PlaybackGain = {gain, gain};
        std::vector<int32_t> expected;
        for (const int32_t s : samples) expected.push_back(db == 0.0f ? s : Scaled(s, gain, bits));
        EXPECT_EQ(PlayWhole(), Pcm(expected, bits));
      }
    }
  }
}

// What the take claims beyond what its file holds (a read that fails) plays as
// silence, not as the sound the buffers held a lap of the ring ago.
TEST_F(PlaybackTest, WhatCannotBeReadIsSilence) {
  const std::vector<uint8_t> data = Pcm(Ramp(60000, 1, 8), 8);
  WriteTake(8000, 8, 1, data);
  session_.recording = RunningTake{session_.path, 100000, 800};
  std::vector<uint8_t> expected = data;
  expected.resize(100000, 0x80);
  EXPECT_EQ(PlayWhole(), expected);
  EXPECT_NE(log_.Text(".err").find("Play Read Error"), std::string::npos);
}

class Mp3Test : public PlaybackTest {
 protected:
  void SetUp() override {
    if (std::system("mpg123 --version >/dev/null 2>&1") != 0) GTEST_SKIP() << "no mpg123 to compare with";
  }
  // An MP3 take of a tone (a bare stream, as the recorder writes it).
  void EncodeTake(int64_t frames) {
    const std::string wav = dir_.file("source.wav");
    ASSERT_TRUE(WriteWav(wav, 44100, 16, 2, Pcm(Ramp(frames, 2, 16), 16)));
    session_.path = dir_.file("take.mp3");
    C_mp3acm codec;
    int32_t ok = 0;
    codec.EncFromWavfile(wav, session_.path, 128, ok);
    ASSERT_EQ(ok, 1);
  }
  // mpg123's own decoding of a file.
  std::vector<uint8_t> Mpg123(const std::string& mp3) {
    const std::string wav = mp3 + ".ref.wav";
    EXPECT_EQ(std::system(("mpg123 -q -w " + wav + " " + mp3).c_str()), 0);
    return DataOf(wav);
  }
};

// An MP3 take comes out as mpg123 decodes it, the short last block included,
// and a take of fewer than three MPEG frames too.
TEST_F(Mp3Test, ComesOutAsMpg123DecodesIt) {
  for (const int64_t frames : {44100 * 9, 2000}) {
    SCOPED_TRACE(frames);
    EncodeTake(frames);
    EXPECT_EQ(PlayWhole(), Mpg123(session_.path));
  }
}

// A damaged stretch costs its block: playback goes on behind it and ends at
// the end of the file, where it matches the undamaged decoding again.
TEST_F(Mp3Test, ADamagedBlockIsPassedOver) {
  EncodeTake(44100 * 4);
  const std::vector<uint8_t> whole = Mpg123(session_.path);
  std::vector<unsigned char> bytes = ReadFileBytes(session_.path);
  std::fill(bytes.begin() + 20000, bytes.begin() + 28000, 0);
  WriteFileBytes(session_.path, bytes);
  const std::vector<uint8_t> heard = PlayWhole();
  const size_t tail = 44100 * 4;  // the last second
  ASSERT_GT(heard.size(), whole.size() / 2);
  ASSERT_LT(heard.size(), whole.size());
  EXPECT_TRUE(std::equal(heard.end() - tail, heard.end(), whole.end() - tail));
}

// The take being recorded, played back by the transport from the recorder's
// own tick: what is heard is the file, frame for frame, from the clamped start
// to the end of the finished take; and the playback meter reads it.
class LevelsSeen final : public VuMeter {
 public:
  void DrawVU(int32_t bar, float rmsDb, float, const std::string&, float) override { rms[bar] = rmsDb; }
  float rms[2] = {-110.0f, -110.0f};
};

class PlayWhileRecording : public RecorderFixture {};

TEST_F(PlayWhileRecording, TheGrowingTakeIsHeardWholeFromBehindTheTake) {
  Use(MakeTone(440.0, -6.0), 8000);
  RecorderPlaySession session(*recorder_, devices_);
  FakeView view;
  PlayEngine engine(devices_, session);
  PlayTransport transport(engine, view, session);
  LevelsSeen meter;
  transport.scanOutputs.meter = &meter;
  recorder_->playbackStep = [&transport](bool redraw) { transport.Tick(redraw); };
  Start();
  RecordFrames(8000 * 12);
  transport.Seek(8000 * 12);  // as near the end as may be
  transport.PlayButtonClick(2);
  ASSERT_EQ(transport.PlayRequested(), 1);
  const int64_t start = transport.PlayStartFrame();
  EXPECT_EQ(start, recorder_->State().counters.FramesFlushed - 50 * 800 - 3 * 8000);
  TickFor(6.0);
  EXPECT_EQ(transport.PlayRequested(), 1) << "playback does not catch up with the take";
  EXPECT_NEAR(meter.rms[0], -9.03f, 0.2f);  // a sine 6 dB below full scale
  Stop();
  for (int n = 0; transport.PlayRequested() && n < 1000; ++n) Tick();
  ASSERT_EQ(transport.PlayRequested(), 0);
  const std::vector<uint8_t> take = DataOf(recorder_->State().names.RecFileName);
  const std::vector<uint8_t> heard = devices_.OutputBytes(0);
  EXPECT_EQ(heard, std::vector<uint8_t>(take.begin() + start * 4, take.end()));
  EXPECT_EQ(view.position, static_cast<int64_t>(take.size() / 4));
}

}  // namespace
}  // namespace lumora::test
