// The MP3 codec: the bit rates it offers, what it refuses, and whole-file
// conversions WAV -> MP3 -> WAV read back through libsndfile.

#include <gtest/gtest.h>

#include <utility>

#include "common/SndfileCheck.h"
#include "common/TempDir.h"
#include "formats/Mp3acm.h"
#include "mp3/Mp3TestData.h"
#include "support/EventPump.h"

namespace lumora {
namespace {

using test::Bytes;

// Whole-file conversions WAV -> MP3 -> WAV, read back through libsndfile.
class Mp3RoundTrip : public ::testing::Test {
 protected:
  void WriteWav(int32_t rate, int32_t bits, int32_t channels, const Bytes& data) {
    ASSERT_TRUE(test::WriteWav(wav_, rate, bits, channels, data));
  }
  int32_t Encode(int32_t kbps) {
    codec_.EncFromWavfile(wav_, mp3_, kbps, ok_);
    return ok_;
  }
  int32_t Decode() {
    codec_.DecFrommp3file(mp3_, back_, ok_);
    return ok_;
  }

  // Rate, channels, length (the input plus at most the codec delay and the last
  // frame's padding), and each channel's level (against the 8000-amplitude sine)
  // and pitch past the codec delay. Rises count from below -1000 to above +1000,
  // so that coding noise at a zero crossing does not count twice.
  static void ExpectTones(const test::SndfileView& view, int32_t rate, int32_t channels, int64_t frames,
                          const std::vector<double>& hz) {
    ASSERT_TRUE(view.opened && view.strict) << view.log;
    EXPECT_EQ(std::pair(view.rate, view.channels), std::pair(rate, channels));
    EXPECT_GE(view.frames, frames);
    EXPECT_LE(view.frames, frames + 3 * 1152);
    for (int32_t c = 0; c < channels; ++c) {
      double sum = 0;
      int64_t rises = 0;
      bool low = false;
      for (int64_t i = rate / 5; i < frames - rate / 5; ++i) {
        const double s = view.samples[i * channels + c] / 65536.0;
        sum += s * s;
        if (s < -1000) low = true;
        if (low && s > 1000) ++rises, low = false;
      }
      const double count = frames - 2 * (rate / 5);
      EXPECT_NEAR(20 * std::log10(std::sqrt(sum / count) / (8000 / std::sqrt(2.0))), 0, 1) << "channel " << c;
      EXPECT_NEAR(rises * rate / count, hz[c], hz[c] / 100) << "channel " << c;
    }
  }

  test::LogCapture log_;
  test::TempDir dir_;
  std::string wav_ = dir_.file("in.wav");
  std::string mp3_ = dir_.file("take.mp3");
  std::string back_ = dir_.file("back.wav");
  C_mp3acm codec_;
  int32_t ok_ = -1;
};

TEST_F(Mp3RoundTrip, StereoIsABareStreamThatDecodesWithoutItsTags) {
  WriteWav(44100, 16, 2, test::Tone(44100, 2, 88200, 440, 1000));
  ASSERT_EQ(Encode(128), 1);
  const Bytes stream = test::ReadFileBytes(mp3_);
  const std::string text(stream.begin(), stream.end());
  EXPECT_EQ(stream.at(0), 0xFF);
  for (const char* tag : {"Xing", "Info", "TAG", "ID3"}) EXPECT_EQ(text.find(tag), std::string::npos) << tag;
  MpegInfo info;
  ASSERT_EQ(ParseMpegFile(mp3_, 1, info), 1);
  EXPECT_EQ(info.LongText, "mp3(44100Hz/128kbps/JointStereo)");
  EXPECT_EQ(info.DataLength, static_cast<int64_t>(stream.size()));
  EXPECT_NEAR(info.DurationMs, 2000, 100);
  ASSERT_EQ(Decode(), 1);
  const test::SndfileView back = test::ReadWithSndfile(back_, true);
  ExpectTones(back, 44100, 2, 88200, {440, 1000});

  // Tags around the stream are not decoded.
  const Bytes converted = test::ReadFileBytes(back_);
  test::WriteFileBytes(mp3_, test::Cat({test::Id3v2Tag({0, 0, 40, 0}, 5120), stream, test::Id3v1Tag()}));
  ASSERT_EQ(Decode(), 1);
  EXPECT_EQ(test::ReadFileBytes(back_), converted);
}

TEST_F(Mp3RoundTrip, ProgressRunsWindowEventsAndCancelStops) {
  int pumped = 0;
  SetEventPump([&] { ++pumped; });
  WriteWav(8000, 16, 1, test::Tone(8000, 1, 500000, 300));  // two blocks of at most 442368 frames
  std::vector<float> steps;
  codec_.EncProg = [&](int32_t&, float fraction) { steps.push_back(fraction); };
  ASSERT_EQ(Encode(32), 1);
  EXPECT_EQ(steps, (std::vector<float>{1.0f / 500000, 442369.0f / 500000}));
  steps.clear();
  ASSERT_EQ(Decode(), 1);
  EXPECT_GT(steps.size(), 5u);
  EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()) && steps.back() < 1);
  EXPECT_EQ(pumped, 2 + static_cast<int>(steps.size()));
  SetEventPump(nullptr);

  // A cancel ends the conversion after that block and removes the partial file.
  codec_.EncProg = [](int32_t& cancel, float) { cancel = 1; };
  EXPECT_EQ(Encode(32), 0);
  EXPECT_EQ(codec_.Canceled(), 1);
  EXPECT_FALSE(std::filesystem::exists(mp3_));
  EXPECT_NE(log_.Text(".log").find("Canceled#" + mp3_), std::string::npos);
  codec_.EncProg = nullptr;
  ASSERT_EQ(Encode(32), 1);  // the next conversion starts uncanceled
  int calls = 0;
  codec_.EncProg = [&](int32_t& cancel, float) { cancel = ++calls == 2; };
  EXPECT_EQ(Decode(), 0);
  EXPECT_EQ(calls, 2);
  EXPECT_FALSE(std::filesystem::exists(back_));
}

TEST_F(Mp3RoundTrip, FailuresKeepExistingFiles) {
  const Bytes keep = {'k', 'e', 'e', 'p'};
  test::WriteFileBytes(mp3_, keep);
  test::WriteFileBytes(back_, keep);
  EXPECT_EQ(Encode(128), 0);  // no WAV file
  WriteWav(44100, 24, 2, Bytes(6000, 0));
  EXPECT_EQ(Encode(128), 0);  // MP3 only from 16-bit PCM
  WriteWav(44100, 16, 2, test::Tone(44100, 2, 1000, 440));
  EXPECT_EQ(Encode(100), 0);  // no such bit rate
  EXPECT_EQ(test::ReadFileBytes(mp3_), keep);
  EXPECT_EQ(Decode(), 0);  // "keep" is no MPEG file
  EXPECT_EQ(test::ReadFileBytes(back_), keep);

  codec_.EncFromWavfile(wav_, dir_.file("missing/take.mp3"), 128, ok_);
  EXPECT_EQ(ok_, 0);
  EXPECT_NE(log_.Text(".err").find("Write Error " + dir_.file("missing/take.mp3")), std::string::npos);
}

using test::Bytes;

WaveFileInfo Format(int32_t rate, int16_t bits, int16_t channels) {
  WaveFileInfo info;
  info.sampleRate = rate, info.bitsPerSample = bits, info.channels = channels;
  info.blockAlign = bits / 8 * channels;
  return info;
}

class Mp3Codec : public ::testing::Test {
 protected:
  int32_t Open(int32_t kbps, const WaveFileInfo& format) {
    codec_.EncInit(kbps, &format, ok_);
    return ok_;
  }
  int32_t Proc(int64_t n) {
    codec_.EncProc(silence_.data(), n, out_, used_, produced_, ok_);
    return ok_;
  }

  test::LogCapture log_;
  C_mp3acm codec_;
  const Bytes silence_ = Bytes(27648, 0);
  std::vector<uint8_t> out_;
  int64_t used_ = 0;
  int64_t produced_ = 0;
  int32_t ok_ = 0;
};

// The encoder never refuses a setting itself (it would change the rate
// silently), so the rates offered are those of each MPEG version.
TEST_F(Mp3Codec, OfferedBitRatesAreThoseOfEachVersion) {
  codec_.Init(0);
  EXPECT_EQ(codec_.EncAvailable(), 1);
  const std::vector<std::string> all = {"320", "256", "224", "192", "160", "128", "112", "96",
                                        "80",  "64",  "56",  "48",  "40",  "32",  "24"};
  ComboModel combo{{"stale"}, "stale"};
  const struct {
    int32_t rate, formatIndex;
    size_t first, end;
  } cases[] = {{48000, 3, 0, 14}, {22050, 2, 4, 15}, {8000, 3, 9, 15}, {96000, 3, 0, 0}, {44100, 5, 0, 0}};
  for (const auto& c : cases) {
    codec_.LoadBitRateToCombo(combo, c.rate, c.formatIndex, 0);
    EXPECT_EQ(combo.items, std::vector(all.begin() + c.first, all.begin() + c.end)) << c.rate;
  }
  codec_.LoadBitRateToCombo(combo, 22050, 2, 24);  // the previous rate is reselected
  EXPECT_EQ(combo.text, "24");
  codec_.LoadBitRateToCombo(combo, 8000, 3, 128);  // not offered: the highest instead
  EXPECT_EQ(combo.text, "64");
  for (const WaveFileInfo& format : {Format(44100, 24, 2), Format(44100, 16, 6), {}}) {
    EXPECT_EQ(Open(128, format), 0) << format.sampleRate << " Hz " << format.bitsPerSample << " bit";
  }
  EXPECT_EQ(Open(24, Format(8000, 16, 1)), 1);
}

TEST_F(Mp3Codec, WhatTheCodecRefuses) {
  EXPECT_EQ(Proc(100), 0);  // no stream opened

  ASSERT_EQ(Open(128, Format(44100, 16, 2)), 1);
  EXPECT_EQ(Proc(3), 0);                          // less than one stereo frame
  EXPECT_TRUE(Proc(4003) == 1 && used_ == 4000);  // only whole frames are taken

  codec_.EncFlush(out_, produced_, ok_);
  EXPECT_EQ(ok_, 1);
  EXPECT_EQ(Proc(4000), 0);  // the flush ended the stream
  ASSERT_EQ(Open(128, Format(44100, 16, 2)), 1);
  codec_.AcmClose();
  EXPECT_EQ(Proc(4000), 0);

  codec_.DecInit(nullptr, ok_);
  EXPECT_EQ(ok_, 0);
  codec_.DecProc(silence_.data(), 100, out_, produced_, ok_);
  EXPECT_TRUE(ok_ == 0 && produced_ == 0 && out_.empty());
}

}  // namespace
}  // namespace lumora
