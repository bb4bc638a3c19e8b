// The generators and the sample-block conversions, measured on their output.

#include <gtest/gtest.h>

#include "platform/PcmBlocks.h"
#include "platform/PcmTestHelpers.h"

namespace lumora {
namespace {

using test::MeasureTone;
using test::Render;

WaveFormat Format(int32_t rate, int32_t bits, int32_t channels) {
  return MakeWaveFormat(SampleFormat{rate, static_cast<int16_t>(bits), static_cast<int16_t>(channels)});
}

class ToneInEveryFormat : public testing::TestWithParam<std::tuple<int, int, int>> {};

TEST_P(ToneInEveryFormat, HasItsFrequencyAndLevelOnEveryChannel) {
  const auto [rate, bits, channels] = GetParam();
  const std::vector<uint8_t> bytes =
      Render(*MakeTone(1000.0, -6.0), Format(rate, bits, channels), 12345, rate);
  const double fullScale = bits == 8 ? 127 : bits == 16 ? 32767 : 8388607;
  for (int32_t channel = 0; channel < channels; ++channel) {
    const test::ToneMeasure m = MeasureTone(bytes, bits, channels, rate, 0, rate, channel);
    EXPECT_NEAR(m.frequency, 1000.0, 0.1);
    EXPECT_NEAR(m.peak, 0.501187 * fullScale, 0.002 * fullScale + 1);
  }
}

INSTANTIATE_TEST_SUITE_P(Formats, ToneInEveryFormat,
                         testing::Combine(testing::Values(8000, 192000), testing::Values(8, 16, 24),
                                          testing::Values(1, 2)));

TEST(Generators, AScriptPlaysItsSegmentsAndEndsInSilence) {
  const WaveFormat format = Format(8000, 8, 2);  // silence is 128 here
  auto script = MakeScript({{SignalSegment::Kind::kSilence, 0.5},
                            {SignalSegment::Kind::kTone, 0.25, 500.0, -20.0},
                            {SignalSegment::Kind::kNoise, 0.125, 0.0, 0.0}});
  EXPECT_EQ(script->Length(format), 7000);
  const std::vector<uint8_t> bytes = Render(*script, format, 0, 8000);
  EXPECT_EQ(std::count(bytes.begin(), bytes.begin() + 8000, 0x80), 8000);
  const test::ToneMeasure tone = MeasureTone(bytes, 8, 2, 8000, 4000, 2000, 1);
  EXPECT_NEAR(tone.frequency, 500.0, 0.5);
  EXPECT_EQ(tone.peak, 13);  // -20 dB of 127
  EXPECT_GT(MeasureTone(bytes, 8, 2, 8000, 6000, 1000).peak, 120);
  EXPECT_EQ(std::count(bytes.begin() + 14000, bytes.end(), 0x80), 2000);
}

TEST(PcmBlocks, ConvertBetweenMonoAndStereoInEveryDepth) {
  using Bytes = std::vector<uint8_t>;
  const Bytes mono16 = {0x01, 0x80, 0xFF, 0x7F};  // -32767, 32767
  Bytes stereo16(8);
  DuplicateMono(mono16.data(), 2, 2, stereo16.data());
  EXPECT_EQ(stereo16, (Bytes{0x01, 0x80, 0x01, 0x80, 0xFF, 0x7F, 0xFF, 0x7F}));

  const Bytes stereo24 = {0x00, 0x00, 0x80, 0x02, 0x00, 0x00,   // -8388608 and 2
                          0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0x7F};  // 8388607 twice
  Bytes mono24(6);
  MixToMono(stereo24.data(), 2, 3, mono24.data());
  EXPECT_EQ(mono24, (Bytes{0x01, 0x00, 0xC0, 0xFF, 0xFF, 0x7F}));

  Bytes eight = {0x80, 0x00, 0xFF};  // unsigned 0, -128, 127
  FlipSign(eight.data(), 3);
  EXPECT_EQ(eight, (Bytes{0x00, 0x80, 0x7F}));
  uint8_t mixed = 0xEE;
  MixToMono(eight.data() + 1, 1, 1, &mixed);  // signed -128 and 127: toward zero
  EXPECT_EQ(mixed, 0x00);
}

}  // namespace
}  // namespace lumora
