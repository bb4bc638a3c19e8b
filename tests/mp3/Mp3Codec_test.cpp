#include <gtest/gtest.h>

#include <cstring>
#include <utility>

#include "common/TempDir.h"
#include "formats/Mp3Format.h"
#include "formats/Mp3acm.h"
#include "mp3/Mp3TestData.h"

namespace lumora {
namespace {

using test::Bytes;

WaveFileInfo Format(int32_t rate, int16_t bits, int16_t channels) {
  WaveFileInfo info;
  info.sampleRate = rate, info.bitsPerSample = bits, info.channels = channels;
  info.blockAlign = bits / 8 * channels;
  return info;
}

TEST(Mp3BitRates, OfferedRatesFollowTheMpegVersionOfTheSampleRate) {
  const std::vector<std::string> mpeg1 = {"320", "256", "224", "192", "160", "128", "112",
                                          "96",  "80",  "64",  "56",  "48",  "40",  "32"};
  const std::vector<std::string> mpeg2(mpeg1.begin() + 4, mpeg1.end());
  const std::vector<std::string> mpeg25(mpeg1.begin() + 9, mpeg1.end());
  C_mp3acm codec;
  ComboModel combo{{"stale"}, "stale"};
  for (int32_t rate : {48000, 44100, 32000, 24000, 22050, 16000, 12000, 11025, 8000}) {
    auto expected = rate >= 32000 ? mpeg1 : rate >= 16000 ? mpeg2 : mpeg25;
    if (rate < 32000) expected.push_back("24");
    for (int32_t formatIndex : {2, 3}) {
      codec.LoadBitRateToCombo(combo, rate, formatIndex, 0);
      EXPECT_EQ(combo.items, expected) << rate << " Hz, FormatIndex " << formatIndex;
      EXPECT_EQ(combo.text, expected.front());
    }
  }
  codec.LoadBitRateToCombo(combo, 22050, 2, 24);  // the previous rate is reselected
  EXPECT_EQ(combo.text, "24");
  codec.LoadBitRateToCombo(combo, 8000, 3, 128);  // not offered: the highest instead
  EXPECT_EQ(combo.text, "64");
  for (int32_t formatIndex : {0, 1, 4, 5, 6, -1}) {
    codec.LoadBitRateToCombo(combo, 44100, formatIndex, 128);
    EXPECT_TRUE(combo.items.empty() && combo.text.empty()) << formatIndex;
  }
  for (int32_t rate : {88200, 96000, 192000, 7000}) {
    codec.LoadBitRateToCombo(combo, rate, 3, 128);
    EXPECT_TRUE(combo.items.empty()) << rate;
  }
  EXPECT_EQ(Mp3BlockSize(128, 44100), 419);
  EXPECT_EQ(Mp3BlockSize(128, 48000), 384);
}

class Mp3Codec : public ::testing::Test {
 protected:
  void Open(int32_t kbps, const WaveFileInfo& format) {
    codec_.EncInit(kbps, &format, ok_);
    ASSERT_EQ(ok_, 1);
  }

  // Encodes in blocks and flushes: the whole stream, written to path_.
  Bytes Encode(const std::vector<int16_t>& pcm, int64_t blockBytes) {
    const Bytes bytes = test::PcmBytes(pcm);
    Bytes stream;
    for (size_t at = 0; at < bytes.size(); at += blockBytes) {
      const int64_t n = std::min<int64_t>(blockBytes, bytes.size() - at);
      codec_.EncProc(bytes.data() + at, n, out_, used_, produced_, ok_);
      EXPECT_TRUE(ok_ == 1 && used_ == n);
      stream.insert(stream.end(), out_.begin(), out_.begin() + produced_);
    }
    codec_.EncFlush(out_, produced_, ok_);
    EXPECT_TRUE(ok_ == 1 && produced_ > 0);  // the last frames only come out here
    stream.insert(stream.end(), out_.begin(), out_.begin() + produced_);
    test::WriteFileBytes(path_, stream);
    EXPECT_EQ(ParseMpegFile(path_, 1, info_), 1);
    return stream;
  }

  test::LogCapture log_;
  test::TempDir dir_;
  std::string path_ = dir_.file("take.mp3");
  C_mp3acm codec_;
  MpegInfo info_;
  std::vector<uint8_t> out_;
  int64_t used_ = 0;
  int64_t produced_ = 0;
  int32_t ok_ = 0;
};

TEST_F(Mp3Codec, EncInitAcceptsOnlyWhatTheEncoderTakesUnchanged) {
  codec_.Init(0);
  EXPECT_EQ(codec_.EncAvailable(), 1);
  const struct {
    int32_t kbps;
    WaveFileInfo format;
    int32_t ok;
  } cases[] = {{128, Format(44100, 16, 2), 1}, {24, Format(8000, 16, 1), 1},  {160, Format(22050, 16, 2), 1},
               {128, Format(44100, 24, 2), 0}, {128, Format(44100, 8, 1), 0}, {128, Format(96000, 16, 2), 0},
               {24, Format(44100, 16, 2), 0},  {80, Format(11025, 16, 1), 0}, {100, Format(44100, 16, 2), 0},
               {128, Format(44100, 16, 6), 0}, {128, WaveFileInfo{}, 0}};
  for (const auto& c : cases) {
    codec_.EncInit(c.kbps, &c.format, ok_);
    EXPECT_EQ(ok_, c.ok) << c.kbps << " kbit/s " << c.format.sampleRate << " Hz " << c.format.bitsPerSample
                         << " bit " << c.format.channels << " ch";
  }
  Open(64, Format(22050, 16, 1));
  codec_.EncInit(0, nullptr, ok_);  // 0 and null keep the previous settings
  ASSERT_EQ(ok_, 1);
  Encode(test::Tone(22050, 1, 22050, 440), 4410);
  EXPECT_EQ(info_.LongText, "mp3(22050Hz/64kbps/Mono)");
}

TEST_F(Mp3Codec, MonoTakeIsABareStreamAtItsOwnPitch) {
  // The interleaved call would take mono as two channels and halve the pitch.
  Open(64, Format(44100, 16, 1));
  const Bytes stream = Encode(test::Tone(44100, 1, 44100, 1000), 8820);
  EXPECT_EQ(stream[0], 0xFF);
  const std::string text(stream.begin(), stream.end());
  for (const char* tag : {"Xing", "Info", "TAG", "ID3"}) EXPECT_EQ(text.find(tag), std::string::npos) << tag;
  EXPECT_EQ(info_.LongText, "mp3(44100Hz/64kbps/Mono)");
  EXPECT_EQ(info_.DataLength, static_cast<int64_t>(stream.size()));

  codec_.DecInit(&info_, ok_);
  ASSERT_EQ(ok_, 1);
  codec_.DecProc(stream.data(), static_cast<int64_t>(stream.size()), out_, produced_, ok_);
  ASSERT_EQ(ok_, 1);
  std::vector<int16_t> pcm(out_.size() / 2);
  std::memcpy(pcm.data(), out_.data(), pcm.size() * 2);
  EXPECT_GE(pcm.size(), 44100u + 576);  // every input frame, behind the encoder's delay
  EXPECT_LE(pcm.size(), 44100u + 3 * 1152);
  EXPECT_NEAR(test::Pitch(pcm, 1, 0, 4410, 30000, 44100, 1000), 1000, 10);
  EXPECT_NEAR(test::Db(test::Rms(pcm, 1, 0, 4410, 30000) / (8000 / std::sqrt(2.0))), 0, 1);
}

TEST_F(Mp3Codec, EncProcRulesAndLogLines) {
  const Bytes pcm(27648, 0);
  codec_.EncProc(pcm.data(), 100, out_, used_, produced_, ok_);
  EXPECT_EQ(ok_, 0);
  EXPECT_NE(log_.Text(".err").find("EncProc Fail pSize=100 pPtrSrc=" +
                                   std::to_string(reinterpret_cast<uintptr_t>(pcm.data())) + " c_hacm=0"),
            std::string::npos);

  codec_.SetEncSizeFixed(1);
  Open(128, Format(44100, 16, 2));
  codec_.EncProc(pcm.data(), 27648, out_, used_, produced_, ok_);
  EXPECT_EQ(ok_, 1);
  codec_.EncProc(pcm.data(), 13824, out_, used_, produced_, ok_);
  EXPECT_EQ(ok_, 0);
  EXPECT_NE(log_.Text(".err").find("EncProc Fail c_EncSize=27648 pSize=13824"), std::string::npos);
  Open(128, Format(44100, 16, 2));  // a new stream remembers a new size
  codec_.EncProc(pcm.data(), 13824, out_, used_, produced_, ok_);
  EXPECT_EQ(ok_, 1);
  codec_.SetEncSizeFixed(0);

  codec_.EncProc(pcm.data(), 3, out_, used_, produced_, ok_);  // less than one stereo frame
  EXPECT_EQ(ok_, 0);
  EXPECT_NE(log_.Text(".err").find("acmStreamSize Fail r(0)=512 pSize=3 tOutSize=0"), std::string::npos);
  codec_.EncProc(pcm.data(), 4003, out_, used_, produced_, ok_);  // only whole frames are taken
  EXPECT_TRUE(ok_ == 1 && used_ == 4000);

  // A small output array grows to twice the worst case; a large one is kept.
  std::vector<uint8_t> large(1 << 20);
  const uint8_t* storage = large.data();
  out_.clear();
  codec_.EncProc(pcm.data(), 17640, out_, used_, produced_, ok_);
  EXPECT_NEAR(static_cast<double>(out_.size()), 2 * (4410 * 1.25 + 7200), 4);
  codec_.EncProc(pcm.data(), 17640, large, used_, produced_, ok_);
  EXPECT_TRUE(large.size() == 1u << 20 && large.data() == storage);

  codec_.EncFlush(out_, produced_, ok_);
  EXPECT_EQ(ok_, 1);
  codec_.EncProc(pcm.data(), 4000, out_, used_, produced_, ok_);  // the flush ended the stream
  EXPECT_EQ(ok_, 0);
  Open(128, Format(44100, 16, 2));
  codec_.AcmClose();
  codec_.EncProc(pcm.data(), 4000, out_, used_, produced_, ok_);
  EXPECT_EQ(ok_, 0);
}

TEST_F(Mp3Codec, DecoderGivesEachWholeFrameAtOnce) {
  Open(128, Format(44100, 16, 2));
  const Bytes stream = Encode(test::Tone(44100, 2, 44100, 440, 880), 17640);
  codec_.DecInit(&info_, ok_);
  ASSERT_EQ(ok_, 1);
  // Blocks cut at frame starts, as playback cuts them: one frame yields its
  // samples at once (none held back for the next header), and the blocks
  // together give what one call over the whole stream gives.
  Bytes whole;
  for (int64_t position = 1, end = FindFrameSync(path_, 2, info_); position <= info_.DataEnd;) {
    codec_.DecProc(stream.data() + position - 1, end - position, out_, produced_, ok_);
    ASSERT_EQ(ok_, 1);
    EXPECT_TRUE(produced_ > 0 && produced_ % (1152 * 4) == 0);
    whole.insert(whole.end(), out_.begin(), out_.end());
    position = std::exchange(end, FindFrameSync(path_, end + 3000, info_));
  }
  C_mp3acm other;
  other.DecInit(&info_, ok_);
  other.DecProc(stream.data(), static_cast<int64_t>(stream.size()), out_, produced_, ok_);
  EXPECT_EQ(whole, Bytes(out_.begin(), out_.end()));

  // What the decoder cannot do.
  other.DecInit(nullptr, ok_);
  EXPECT_EQ(ok_, 0);
  other.DecProc(stream.data(), 100, out_, produced_, ok_);
  EXPECT_TRUE(ok_ == 0 && produced_ == 0 && out_.empty());
  info_.Channels = 3;
  other.DecInit(&info_, ok_);
  EXPECT_EQ(ok_, 0);
}

}  // namespace
}  // namespace lumora
