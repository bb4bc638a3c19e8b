#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "common/SndfileCheck.h"
#include "common/TempDir.h"
#include "formats/Mp3acm.h"
#include "mp3/Mp3TestData.h"
#include "support/EventPump.h"

namespace lumora {
namespace {

using test::Bytes;

// Whole-file conversions WAV -> MP3 -> WAV, checked through libsndfile and,
// where installed, the mpg123 program as an independent decoder.
class Mp3RoundTrip : public ::testing::Test {
 protected:
  void WriteWav(const std::string& path, int32_t rate, int32_t channels, const std::vector<int16_t>& pcm) {
    test::WriteFileBytes(path, test::WavFile(rate, channels, 16, test::PcmBytes(pcm)));
  }

  int32_t Encode(int32_t kbps) {
    int32_t ok = -1;
    codec_.EncFromWavfile(wav_, mp3_, kbps, ok);
    return ok;
  }

  int32_t Decode() {
    int32_t ok = -1;
    codec_.DecFrommp3file(mp3_, back_, ok);
    return ok;
  }

  // Checks rate, channels, length (input plus at most the codec delay and the
  // last frame's padding), and each channel's level and pitch away from the ends.
  static void ExpectTones(const test::SndfileView& view, int32_t rate, int32_t channels, int64_t frames,
                          const std::vector<double>& hz, double amplitude) {
    ASSERT_TRUE(view.opened);
    EXPECT_TRUE(view.strict) << view.log;
    EXPECT_EQ(view.rate, rate);
    EXPECT_EQ(view.channels, channels);
    EXPECT_GE(view.frames, frames);
    EXPECT_LE(view.frames, frames + 3 * 1152);
    const int64_t first = rate / 5;  // past the codec delay, up to 0.14 s at 8000 Hz
    const int64_t count = frames - 2 * first;
    for (int32_t c = 0; c < channels; ++c) {
      SCOPED_TRACE("channel " + std::to_string(c));
      const double rms = test::Rms(view.samples, channels, c, first, count, 65536.0);
      EXPECT_NEAR(test::Db(rms / (amplitude / std::sqrt(2.0))), 0, 1);
      EXPECT_NEAR(test::Pitch(view.samples, channels, c, first, count, rate, 1000 * 65536.0), hz[c],
                  hz[c] * 0.01);
    }
  }

  test::LogCapture log_;
  test::TempDir dir_;
  std::string wav_ = dir_.file("in.wav");
  std::string mp3_ = dir_.file("take.mp3");
  std::string back_ = dir_.file("back.wav");
  C_mp3acm codec_;
};

TEST_F(Mp3RoundTrip, StereoKeepsLengthLevelAndChannels) {
  const int64_t frames = 2 * 44100;
  WriteWav(wav_, 44100, 2, test::Tone(44100, 2, frames, 440, 1000, 8000));
  ASSERT_EQ(Encode(128), 1);
  const Bytes mp3 = test::ReadFileBytes(mp3_);
  ASSERT_GT(mp3.size(), 2u);
  EXPECT_EQ(mp3[0], 0xFF);  // a bare stream: a frame sync at byte 0
  MpegInfo info;
  ASSERT_EQ(ParseMpegFile(mp3_, 1, info), 1);
  EXPECT_EQ(info.LongText, "mp3(44100Hz/128kbps/JointStereo)");
  EXPECT_NEAR(info.DurationMs, 2000, 100);

  ASSERT_EQ(Decode(), 1);
  const test::SndfileView back = test::ReadWithSndfile(back_, true);
  ExpectTones(back, 44100, 2, frames, {440, 1000}, 8000);

  if (!test::HasProgram("mpg123")) GTEST_SKIP() << "mpg123 is not installed";
  const std::string other = dir_.file("mpg123.wav");
  ASSERT_EQ(std::system(("mpg123 -q -w '" + other + "' '" + mp3_ + "'").c_str()), 0);
  const test::SndfileView reference = test::ReadWithSndfile(other, true);
  ASSERT_EQ(reference.frames, back.frames);
  int32_t largest = 0;
  for (size_t i = 0; i < back.samples.size(); ++i) {
    largest = std::max(largest, std::abs(back.samples[i] / 65536 - reference.samples[i] / 65536));
  }
  EXPECT_LE(largest, 1);
}

TEST_F(Mp3RoundTrip, LowerSampleRatesInMpeg2And25) {
  const struct {
    int32_t rate, channels, kbps;
    double hz;
  } cases[] = {{22050, 1, 64, 500}, {24000, 2, 96, 700}, {8000, 1, 32, 300}, {11025, 2, 48, 400}};
  for (const auto& c : cases) {
    SCOPED_TRACE(std::to_string(c.rate) + " Hz");
    const int64_t frames = c.rate * 3 / 2;
    WriteWav(wav_, c.rate, c.channels, test::Tone(c.rate, c.channels, frames, c.hz, c.hz, 8000));
    ASSERT_EQ(Encode(c.kbps), 1);
    MpegInfo info;
    ASSERT_EQ(ParseMpegFile(mp3_, 1, info), 1);
    EXPECT_EQ(info.SampleRate, c.rate);
    EXPECT_EQ(info.Channels, c.channels);
    EXPECT_EQ(info.Bitrate, c.kbps);
    ASSERT_EQ(Decode(), 1);
    ExpectTones(test::ReadWithSndfile(back_, true), c.rate, c.channels, frames, {c.hz, c.hz}, 8000);
  }
}

TEST_F(Mp3RoundTrip, TagsAroundTheStreamAreNotDecoded) {
  WriteWav(wav_, 44100, 2, test::Tone(44100, 2, 44100, 440, 440, 8000));
  ASSERT_EQ(Encode(128), 1);
  const Bytes bare = test::ReadFileBytes(mp3_);
  ASSERT_EQ(Decode(), 1);
  const Bytes plain = test::ReadFileBytes(back_);

  Bytes tagged = test::Id3v2Tag(5000);
  test::Append(tagged, bare);
  test::Append(tagged, test::Id3v1Tag());
  test::WriteFileBytes(mp3_, tagged);
  ASSERT_EQ(Decode(), 1);
  EXPECT_EQ(test::ReadFileBytes(back_), plain);
}

TEST_F(Mp3RoundTrip, ProgressRunsWindowEventsAndCancelStops) {
  int pumped = 0;
  SetEventPump([&] { ++pumped; });
  const int64_t frames = 500000;  // two blocks of at most 442368 frames
  WriteWav(wav_, 8000, 1, test::Tone(8000, 1, frames, 300));
  std::vector<float> steps;
  codec_.EncProg = [&](int32_t&, float fraction) { steps.push_back(fraction); };
  ASSERT_EQ(Encode(32), 1);
  EXPECT_EQ(steps, (std::vector<float>{1.0f / frames, 442369.0f / frames}));
  EXPECT_EQ(pumped, 2);

  steps.clear();
  ASSERT_EQ(Decode(), 1);
  EXPECT_GT(steps.size(), 5u);
  EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()));
  EXPECT_LT(steps.back(), 1.0f);
  EXPECT_EQ(pumped, 2 + static_cast<int>(steps.size()));
  SetEventPump(nullptr);

  // A cancel ends the conversion after that block and removes the partial file.
  codec_.EncProg = [&](int32_t& cancel, float) { cancel = 1; };
  EXPECT_EQ(Encode(32), 0);
  EXPECT_EQ(codec_.Canceled(), 1);
  EXPECT_FALSE(std::filesystem::exists(mp3_));
  EXPECT_NE(log_.Text(".log").find("Canceled#" + mp3_), std::string::npos);

  codec_.EncProg = nullptr;
  ASSERT_EQ(Encode(32), 1);  // a new conversion starts uncanceled
  int calls = 0;
  codec_.EncProg = [&](int32_t& cancel, float) { cancel = ++calls == 2 ? 1 : 0; };
  EXPECT_EQ(Decode(), 0);
  EXPECT_EQ(calls, 2);
  EXPECT_FALSE(std::filesystem::exists(back_));
}

TEST_F(Mp3RoundTrip, FailuresKeepExistingFiles) {
  const Bytes keep = {'k', 'e', 'e', 'p'};
  test::WriteFileBytes(mp3_, keep);
  test::WriteFileBytes(back_, keep);

  EXPECT_EQ(Encode(128), 0);  // no WAV file
  test::WriteFileBytes(wav_, test::WavFile(44100, 2, 24, Bytes(6000, 0)));
  EXPECT_EQ(Encode(128), 0);  // MP3 only from 16-bit PCM
  WriteWav(wav_, 44100, 2, test::Tone(44100, 2, 1000, 440));
  EXPECT_EQ(Encode(100), 0);  // no such bit rate
  EXPECT_EQ(test::ReadFileBytes(mp3_), keep);

  EXPECT_EQ(Decode(), 0);  // "keep" is no MPEG file
  EXPECT_EQ(test::ReadFileBytes(back_), keep);

  int32_t ok = -1;
  codec_.EncFromWavfile(wav_, dir_.file("missing/take.mp3"), 128, ok);
  EXPECT_EQ(ok, 0);
  EXPECT_NE(log_.Text(".err").find("Write Error " + dir_.file("missing/take.mp3")), std::string::npos);
}

TEST_F(Mp3RoundTrip, EmptyWavGivesAtMostOneSilentFrame) {
  WriteWav(wav_, 44100, 2, {});
  ASSERT_EQ(Encode(128), 1);
  const Bytes mp3 = test::ReadFileBytes(mp3_);
  EXPECT_LE(mp3.size(), 418u);
  EXPECT_TRUE(mp3.empty() || mp3[0] == 0xFF);
}

}  // namespace
}  // namespace lumora
