#include <gtest/gtest.h>

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

TEST_F(Mp3Codec, WhatTheCodecRefusesAndTheLogLinesOfEncProc) {
  EXPECT_EQ(Proc(100), 0);  // no stream opened

  codec_.SetEncSizeFixed(1);
  ASSERT_EQ(Open(128, Format(44100, 16, 2)), 1);
  EXPECT_EQ(Proc(27648), 1);
  EXPECT_EQ(Proc(13824), 0);
  EXPECT_NE(log_.Text(".err").find("EncProc Fail c_EncSize=27648 pSize=13824"), std::string::npos);
  codec_.EncInit(0, nullptr, ok_);  // 0 and null: a new stream of the previous settings,
  ASSERT_EQ(ok_, 1);
  EXPECT_EQ(Proc(13824), 1);  // which remembers a new size
  codec_.SetEncSizeFixed(0);

  EXPECT_EQ(Proc(3), 0);  // less than one stereo frame
  EXPECT_NE(log_.Text(".err").find("acmStreamSize Fail r(0)=512 pSize=3 tOutSize=0"), std::string::npos);
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
