#include <gtest/gtest.h>

#include <algorithm>

#include "common/TempDir.h"
#include "formats/Mp3Format.h"
#include "formats/Mp3acm.h"
#include "mp3/Mp3TestData.h"
#include "support/MessageBox.h"

namespace lumora {
namespace {

using test::Bytes;

std::vector<std::string> Texts(std::initializer_list<int> rates) {
  std::vector<std::string> texts;
  for (int r : rates) texts.push_back(std::to_string(r));
  return texts;
}

WaveFileInfo Format(int32_t rate, int16_t bits, int16_t channels) {
  WaveFileInfo info;
  info.sampleRate = rate;
  info.bitsPerSample = bits;
  info.channels = channels;
  info.blockAlign = bits / 8 * channels;
  return info;
}

TEST(Mp3BitRates, OfferedRatesFollowTheMpegVersionOfTheSampleRate) {
  C_mp3acm codec;
  const auto mpeg1 = Texts({320, 256, 224, 192, 160, 128, 112, 96, 80, 64, 56, 48, 40, 32});
  const auto mpeg2 = Texts({160, 128, 112, 96, 80, 64, 56, 48, 40, 32, 24});
  const auto mpeg25 = Texts({64, 56, 48, 40, 32, 24});
  const struct {
    int32_t rate;
    const std::vector<std::string>& list;
  } cases[] = {{48000, mpeg1}, {44100, mpeg1},  {32000, mpeg1},  {24000, mpeg2}, {22050, mpeg2},
               {16000, mpeg2}, {12000, mpeg25}, {11025, mpeg25}, {8000, mpeg25}};
  for (const auto& c : cases) {
    for (int32_t formatIndex : {2, 3}) {
      SCOPED_TRACE(std::to_string(c.rate) + " Hz, FormatIndex " + std::to_string(formatIndex));
      ComboModel combo;
      codec.LoadBitRateToCombo(combo, c.rate, formatIndex, 0);
      EXPECT_EQ(combo.items, c.list);
      EXPECT_EQ(combo.text, c.list.front());
    }
  }
}

TEST(Mp3BitRates, NothingForOtherDepthsOrRatesTheEncoderWouldResample) {
  C_mp3acm codec;
  ComboModel combo{{"stale"}, "stale"};
  for (int32_t formatIndex : {0, 1, 4, 5, 6, 9, -1}) {
    codec.LoadBitRateToCombo(combo, 44100, formatIndex, 128);
    EXPECT_TRUE(combo.items.empty()) << formatIndex;
    EXPECT_EQ(combo.text, "");
  }
  for (int32_t rate : {88200, 96000, 192000, 7000, 0}) {
    codec.LoadBitRateToCombo(combo, rate, 3, 128);
    EXPECT_TRUE(combo.items.empty()) << rate;
  }
}

TEST(Mp3BitRates, PreviousRateIsReselectedWhenStillOffered) {
  C_mp3acm codec;
  ComboModel combo;
  codec.LoadBitRateToCombo(combo, 44100, 3, 128);
  EXPECT_EQ(combo.text, "128");
  codec.LoadBitRateToCombo(combo, 22050, 2, 24);
  EXPECT_EQ(combo.text, "24");
  codec.LoadBitRateToCombo(combo, 8000, 2, 128);  // not offered at 8000 Hz: the highest instead
  EXPECT_EQ(combo.text, "64");
}

TEST(Mp3BitRates, BlockSizeIsOneNominalFrame) {
  EXPECT_EQ(Mp3BlockSize(128, 44100), 419);  // round(417.96 + 1)
  EXPECT_EQ(Mp3BlockSize(128, 48000), 384);
  EXPECT_EQ(Mp3BlockSize(320, 32000), 1440);
  EXPECT_EQ(Mp3BlockSize(128, 0), 0);
}

class Mp3Codec : public ::testing::Test {
 protected:
  // Encodes the PCM in blocks of blockFrames and flushes: the whole stream.
  Bytes Encode(const std::vector<int16_t>& pcm, int32_t channels, int64_t blockFrames) {
    Bytes stream;
    std::vector<uint8_t> out;
    const Bytes bytes = test::PcmBytes(pcm);
    const int64_t blockBytes = blockFrames * 2 * channels;
    for (int64_t at = 0; at < static_cast<int64_t>(bytes.size()); at += blockBytes) {
      const int64_t n = std::min<int64_t>(blockBytes, static_cast<int64_t>(bytes.size()) - at);
      int64_t used = 0;
      int64_t produced = 0;
      int32_t ok = 0;
      codec_.EncProc(bytes.data() + at, n, out, used, produced, ok);
      EXPECT_EQ(ok, 1);
      EXPECT_EQ(used, n);
      stream.insert(stream.end(), out.begin(), out.begin() + produced);
    }
    int64_t produced = 0;
    int32_t ok = 0;
    codec_.EncFlush(out, produced, ok);
    EXPECT_EQ(ok, 1);
    EXPECT_GT(produced, 0);  // the last frames only come out here
    stream.insert(stream.end(), out.begin(), out.begin() + produced);
    return stream;
  }

  MpegInfo ParseStream(const Bytes& stream) {
    test::WriteFileBytes(path_, stream);
    MpegInfo info;
    EXPECT_EQ(ParseMpegFile(path_, 1, info), 1);
    return info;
  }

  void Open(int32_t kbps, const WaveFileInfo& format) {
    int32_t ok = 0;
    codec_.EncInit(kbps, &format, ok);
    ASSERT_EQ(ok, 1);
  }

  test::LogCapture log_;
  test::TempDir dir_;
  std::string path_ = dir_.file("take.mp3");
  C_mp3acm codec_;
};

TEST_F(Mp3Codec, InitFindsTheCodecsWithoutAMessage) {
  int shown = 0;
  SetMessagePresenter([&](const std::string&, int32_t, const std::string&) { return ++shown, kAnswerOk; });
  EXPECT_EQ(codec_.EncAvailable(), 0);
  codec_.Init(0);
  EXPECT_EQ(codec_.EncAvailable(), 1);
  EXPECT_EQ(shown, 0);
  SetMessagePresenter(nullptr);
}

TEST_F(Mp3Codec, EncInitAcceptsOnlyWhatTheEncoderTakesUnchanged) {
  int32_t ok = -1;
  const struct {
    int32_t kbps;
    WaveFileInfo format;
    int32_t ok;
  } cases[] = {
      {128, Format(44100, 16, 2), 1}, {24, Format(8000, 16, 1), 1},   {160, Format(22050, 16, 2), 1},
      {128, Format(44100, 24, 2), 0}, {128, Format(44100, 8, 1), 0},  {128, Format(96000, 16, 2), 0},
      {24, Format(44100, 16, 2), 0},  {192, Format(22050, 16, 1), 0}, {80, Format(11025, 16, 1), 0},
      {128, Format(44100, 16, 6), 0}, {100, Format(44100, 16, 2), 0},
  };
  for (const auto& c : cases) {
    codec_.EncInit(c.kbps, &c.format, ok);
    EXPECT_EQ(ok, c.ok) << c.kbps << " kbit/s, " << c.format.sampleRate << " Hz, " << c.format.bitsPerSample
                        << " bit, " << c.format.channels << " ch";
  }
  WaveFileInfo badAlign = Format(44100, 16, 2);
  badAlign.blockAlign = 0;
  codec_.EncInit(128, &badAlign, ok);
  EXPECT_EQ(ok, 0);
}

TEST_F(Mp3Codec, EncInitWithZeroAndNullKeepsThePreviousSettings) {
  Open(64, Format(22050, 16, 1));
  int32_t ok = 0;
  codec_.EncInit(0, nullptr, ok);
  ASSERT_EQ(ok, 1);
  const MpegInfo info = ParseStream(Encode(test::Tone(22050, 1, 22050, 440), 1, 2205));
  EXPECT_EQ(info.LongText, "mp3(22050Hz/64kbps/Mono)");
}

TEST_F(Mp3Codec, EncodedTakeIsABareStreamThatParsesFromPositionOne) {
  Open(128, Format(44100, 16, 2));
  const int64_t frames = 44100;
  const Bytes stream = Encode(test::Tone(44100, 2, frames, 440, 1000), 2, 4410);
  ASSERT_GT(stream.size(), 4u);
  EXPECT_EQ(stream[0], 0xFF);
  EXPECT_EQ(stream[1], 0xFB);
  const std::string text(stream.begin(), stream.end());
  for (const char* tag : {"Xing", "Info", "TAG", "ID3"}) EXPECT_EQ(text.find(tag), std::string::npos) << tag;

  const MpegInfo info = ParseStream(stream);
  EXPECT_EQ(info.FirstFrame, 1);
  EXPECT_EQ(info.DataLength, static_cast<int64_t>(stream.size()));
  EXPECT_EQ(info.LongText, "mp3(44100Hz/128kbps/JointStereo)");
  // Every input frame is in the stream (plus the encoder's delay), in whole frames.
  const int64_t mpegFrames = RoundHalfEven(stream.size() / (128 * 144000.0 / 44100));
  EXPECT_GE(mpegFrames * 1152, frames + 576);
  EXPECT_LE(mpegFrames * 1152, frames + 576 + 3 * 1152);
}

TEST_F(Mp3Codec, MonoKeepsItsPitch) {
  // The interleaved call would read mono as two channels and halve the pitch.
  Open(64, Format(44100, 16, 1));
  const Bytes stream = Encode(test::Tone(44100, 1, 44100, 1000), 1, 4410);
  const MpegInfo info = ParseStream(stream);
  EXPECT_EQ(info.Channels, 1);
  EXPECT_EQ(info.LongText, "mp3(44100Hz/64kbps/Mono)");

  int32_t ok = 0;
  codec_.DecInit(&info, ok);
  ASSERT_EQ(ok, 1);
  std::vector<uint8_t> pcm;
  int64_t produced = 0;
  codec_.DecProc(stream.data(), static_cast<int64_t>(stream.size()), pcm, produced, ok);
  ASSERT_EQ(ok, 1);
  const auto samples = test::PcmSamples(pcm.data(), static_cast<size_t>(produced));
  EXPECT_NEAR(test::Pitch(samples, 1, 0, 4410, 30000, 44100, 1000), 1000, 10);
  EXPECT_NEAR(test::Db(test::Rms(samples, 1, 0, 4410, 30000) / (10000 / std::sqrt(2.0))), 0, 1);
}

TEST_F(Mp3Codec, EncProcFailuresAreLogged) {
  std::vector<uint8_t> out;
  int64_t used = 1;
  int64_t produced = 1;
  int32_t ok = 1;
  const Bytes pcm(27648, 0);
  codec_.EncProc(pcm.data(), 100, out, used, produced, ok);  // no stream open
  EXPECT_EQ(ok, 0);
  EXPECT_EQ(used, 0);
  EXPECT_EQ(produced, 0);
  EXPECT_NE(log_.Text(".err").find("EncProc Fail pSize=100 pPtrSrc=" +
                                   std::to_string(reinterpret_cast<uintptr_t>(pcm.data())) + " c_hacm=0"),
            std::string::npos);

  Open(128, Format(44100, 16, 2));
  codec_.EncProc(nullptr, 100, out, used, produced, ok);
  EXPECT_EQ(ok, 0);
  EXPECT_NE(log_.Text(".err").find("EncProc Fail pSize=100 pPtrSrc=0 c_hacm="), std::string::npos);
  codec_.EncProc(pcm.data(), 0, out, used, produced, ok);
  EXPECT_EQ(ok, 0);
  codec_.EncProc(pcm.data(), 3, out, used, produced, ok);  // less than one stereo frame
  EXPECT_EQ(ok, 0);
  EXPECT_NE(log_.Text(".err").find("acmStreamSize Fail r(0)=512 pSize=3 tOutSize=0"), std::string::npos);

  // Only whole frames are taken.
  codec_.EncProc(pcm.data(), 4003, out, used, produced, ok);
  EXPECT_EQ(ok, 1);
  EXPECT_EQ(used, 4000);
}

TEST_F(Mp3Codec, FixedSizeRefusesAnotherByteCount) {
  codec_.SetEncSizeFixed(1);
  Open(128, Format(44100, 16, 2));
  const Bytes pcm(27648, 0);
  std::vector<uint8_t> out;
  int64_t used = 0;
  int64_t produced = 0;
  int32_t ok = 0;
  codec_.EncProc(pcm.data(), 27648, out, used, produced, ok);
  EXPECT_EQ(ok, 1);
  codec_.EncProc(pcm.data(), 13824, out, used, produced, ok);
  EXPECT_EQ(ok, 0);
  EXPECT_NE(log_.Text(".err").find("EncProc Fail c_EncSize=27648 pSize=13824"), std::string::npos);
  codec_.EncProc(pcm.data(), 27648, out, used, produced, ok);
  EXPECT_EQ(ok, 1);

  // A new stream remembers a new size.
  Open(128, Format(44100, 16, 2));
  codec_.EncProc(pcm.data(), 13824, out, used, produced, ok);
  EXPECT_EQ(ok, 1);
  codec_.SetEncSizeFixed(0);
  codec_.EncProc(pcm.data(), 100, out, used, produced, ok);
  EXPECT_EQ(ok, 1);
}

TEST_F(Mp3Codec, OutputArrayGrowsOnlyWhenTooSmall) {
  Open(128, Format(44100, 16, 2));
  const Bytes pcm = test::PcmBytes(test::Tone(44100, 2, 4410, 440));
  const size_t worstCase = 4410 * 5 / 4 + 7200;
  std::vector<uint8_t> out;
  int64_t used = 0;
  int64_t produced = 0;
  int32_t ok = 0;
  codec_.EncProc(pcm.data(), static_cast<int64_t>(pcm.size()), out, used, produced, ok);
  ASSERT_EQ(ok, 1);
  EXPECT_GE(out.size(), 2 * worstCase);  // room for the next blocks as well
  EXPECT_LE(out.size(), 2 * worstCase + 4);

  std::vector<uint8_t> large(1 << 20, 0xAA);
  const uint8_t* storage = large.data();
  codec_.EncProc(pcm.data(), static_cast<int64_t>(pcm.size()), large, used, produced, ok);
  ASSERT_EQ(ok, 1);
  EXPECT_EQ(large.size(), 1u << 20);
  EXPECT_EQ(large.data(), storage);
}

TEST_F(Mp3Codec, ClosedEncoderRefusesBlocks) {
  Open(128, Format(44100, 16, 2));
  const Bytes pcm(4000, 0);
  std::vector<uint8_t> out;
  int64_t used = 0;
  int64_t produced = 0;
  int32_t ok = 0;
  codec_.EncFlush(out, produced, ok);
  EXPECT_EQ(ok, 1);
  codec_.EncProc(pcm.data(), 4000, out, used, produced, ok);  // the flush ended the stream
  EXPECT_EQ(ok, 0);
  codec_.EncFlush(out, produced, ok);
  EXPECT_EQ(ok, 0);

  Open(128, Format(44100, 16, 2));
  codec_.AcmClose();
  codec_.EncProc(pcm.data(), 4000, out, used, produced, ok);
  EXPECT_EQ(ok, 0);
}

TEST_F(Mp3Codec, DecoderGivesEachWholeFrameAtOnce) {
  Open(128, Format(44100, 16, 2));
  const Bytes stream = Encode(test::Tone(44100, 2, 44100, 440, 880), 2, 4410);
  const MpegInfo info = ParseStream(stream);
  int32_t ok = 0;
  codec_.DecInit(&info, ok);
  ASSERT_EQ(ok, 1);

  // Blocks cut at frame starts as playback cuts them: each yields its frames
  // at once (none held back for the next header), and together they give what
  // one call over the whole stream gives.
  std::vector<uint8_t> whole;
  std::vector<uint8_t> out;
  int64_t produced = 0;
  int64_t position = 1;
  const int64_t secondFrame = FindFrameSync(path_, 2, info);
  codec_.DecProc(stream.data(), secondFrame - 1, out, produced, ok);
  ASSERT_EQ(ok, 1);
  EXPECT_EQ(produced, 1152 * 4);
  whole.insert(whole.end(), out.begin(), out.end());
  for (position = secondFrame; position <= info.DataEnd;) {
    const int64_t end = FindFrameSync(path_, position + 3000, info);
    codec_.DecProc(stream.data() + position - 1, end - position, out, produced, ok);
    ASSERT_EQ(ok, 1);
    EXPECT_EQ(produced % (1152 * 4), 0);
    whole.insert(whole.end(), out.begin(), out.end());
    position = end;
  }

  C_mp3acm other;
  other.DecInit(&info, ok);
  other.DecProc(stream.data(), static_cast<int64_t>(stream.size()), out, produced, ok);
  ASSERT_EQ(ok, 1);
  EXPECT_EQ(whole, out);
  EXPECT_EQ(static_cast<int64_t>(whole.size()), RoundHalfEven(info.DataLength / 417.96) * 1152 * 4);
}

TEST_F(Mp3Codec, DecoderRefusesWhatItCannotDo) {
  int32_t ok = 1;
  codec_.DecInit(nullptr, ok);
  EXPECT_EQ(ok, 0);
  MpegInfo info;
  info.SampleRate = 44100;
  info.Channels = 3;
  codec_.DecInit(&info, ok);
  EXPECT_EQ(ok, 0);

  std::vector<uint8_t> out(10);
  int64_t produced = 1;
  const Bytes data(100, 0);
  codec_.DecProc(data.data(), 100, out, produced, ok);  // no decoder open
  EXPECT_EQ(ok, 0);
  EXPECT_EQ(produced, 0);
  EXPECT_TRUE(out.empty());

  info.Channels = 2;
  codec_.DecInit(&info, ok);
  ASSERT_EQ(ok, 1);
  codec_.DecProc(data.data(), 0, out, produced, ok);
  EXPECT_EQ(ok, 0);
  codec_.DecProc(data.data(), 100, out, produced, ok);  // no frame yet: nothing, but no error
  EXPECT_EQ(ok, 1);
  EXPECT_EQ(produced, 0);
}

}  // namespace
}  // namespace lumora
