#include <gtest/gtest.h>

#include <algorithm>

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

// The rates offered are exactly those the encoder takes without changing them.
TEST_F(Mp3Codec, OfferedBitRatesAreExactlyTheAcceptedOnes) {
  codec_.Init(0);
  EXPECT_EQ(codec_.EncAvailable(), 1);
  const std::vector<std::string> all = {"320", "256", "224", "192", "160", "128", "112", "96",
                                        "80",  "64",  "56",  "48",  "40",  "32",  "24"};
  ComboModel combo{{"stale"}, "stale"};
  for (int32_t rate : {48000, 44100, 32000, 24000, 22050, 16000, 12000, 11025, 8000}) {
    const size_t first = rate >= 32000 ? 0 : rate >= 16000 ? 4 : 9, end = rate >= 32000 ? 14 : 15;
    const std::vector<std::string> expected(all.begin() + first, all.begin() + end);
    for (int16_t channels : {1, 2}) {
      SCOPED_TRACE(testing::Message() << rate << " Hz " << channels << " ch");
      codec_.LoadBitRateToCombo(combo, rate, channels + 1, 0);
      EXPECT_EQ(combo.items, expected);
      EXPECT_EQ(combo.text, expected.front());
      for (const std::string& kbps : all) {
        const bool offered = std::find(expected.begin(), expected.end(), kbps) != expected.end();
        EXPECT_EQ(Open(std::stoi(kbps), Format(rate, 16, channels)), offered ? 1 : 0) << kbps;
      }
    }
  }
  codec_.LoadBitRateToCombo(combo, 22050, 2, 24);  // the previous rate is reselected
  EXPECT_EQ(combo.text, "24");
  codec_.LoadBitRateToCombo(combo, 8000, 3, 128);  // not offered: the highest instead
  EXPECT_EQ(combo.text, "64");
  for (int32_t formatIndex : {0, 5, 6, -1}) {
    codec_.LoadBitRateToCombo(combo, 44100, formatIndex, 128);
    EXPECT_TRUE(combo.items.empty() && combo.text.empty()) << formatIndex;
  }
  for (int32_t rate : {96000, 7000}) {
    codec_.LoadBitRateToCombo(combo, rate, 3, 128);
    EXPECT_TRUE(combo.items.empty()) << rate;
  }
  for (const WaveFileInfo& format : {Format(44100, 24, 2), Format(44100, 16, 6), {}}) {
    EXPECT_EQ(Open(128, format), 0) << format.bitsPerSample << " bit " << format.channels << " ch";
  }
}

TEST_F(Mp3Codec, WhatTheCodecRefusesAndTheLogLinesOfEncProc) {
  EXPECT_EQ(Proc(100), 0);
  EXPECT_NE(
      log_.Text(".err").find("EncProc Fail pSize=100 pPtrSrc=" +
                             std::to_string(reinterpret_cast<uintptr_t>(silence_.data())) + " c_hacm=0"),
      std::string::npos);

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
