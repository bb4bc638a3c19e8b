// The generators and the sample-block conversions, measured on their output.

#include <gtest/gtest.h>

#include "platform/PcmBlocks.h"
#include "platform/PcmTestHelpers.h"
#include "platform/SignalSource.h"

namespace lumora {
namespace {

std::vector<uint8_t> Render(SignalSource& source, const WaveFormat& format, int64_t first, int64_t frames) {
  std::vector<uint8_t> bytes(static_cast<size_t>(frames * format.blockAlign), 0xEE);
  source.Render(first, frames, format, bytes.data());
  return bytes;
}

class ToneInEveryFormat : public testing::TestWithParam<std::tuple<int, int, int>> {};

TEST_P(ToneInEveryFormat, HasItsFrequencyAndLevel) {
  const auto [rate, bits, channels] = GetParam();
  const WaveFormat format =
      MakeWaveFormat(SampleFormat{rate, static_cast<int16_t>(bits), static_cast<int16_t>(channels)});
  auto tone = MakeTone(1000.0, -6.0);
  const std::vector<uint8_t> bytes = Render(*tone, format, 12345, rate);
  const double fullScale = bits == 8 ? 127 : bits == 16 ? 32767 : 8388607;
  for (int32_t channel = 0; channel < channels; ++channel) {
    const test::ToneMeasure m = test::MeasureTone(bytes, bits, channels, rate, 0, rate, channel);
    EXPECT_NEAR(m.frequency, 1000.0, 0.1);
    EXPECT_NEAR(m.peak, 0.501187 * fullScale, 0.002 * fullScale + 1);
  }
  EXPECT_EQ(tone->Length(format), -1);
}

INSTANTIATE_TEST_SUITE_P(Formats, ToneInEveryFormat,
                         testing::Combine(testing::Values(8000, 44100, 192000), testing::Values(8, 16, 24),
                                          testing::Values(1, 2)));

TEST(Generators, SilenceIsTheZeroOfEachFormat) {
  auto silence = MakeSilence();
  const auto eight = Render(*silence, MakeWaveFormat(SampleFormat{8000, 8, 2}), 0, 100);
  EXPECT_TRUE(std::all_of(eight.begin(), eight.end(), [](uint8_t b) { return b == 0x80; }));
  const auto wide = Render(*silence, MakeWaveFormat(SampleFormat{8000, 24, 1}), 0, 100);
  EXPECT_TRUE(std::all_of(wide.begin(), wide.end(), [](uint8_t b) { return b == 0; }));
}

TEST(Generators, AnyBlockSizeGivesTheSameFrames) {
  const WaveFormat format = MakeWaveFormat(SampleFormat{48000, 24, 2});
  auto noise = MakeNoise(-10.0, 7);
  const std::vector<uint8_t> whole = Render(*noise, format, 1000, 9000);
  std::vector<uint8_t> pieces;
  for (int64_t first = 1000; first < 10000; first += 1250) {
    const auto part = Render(*noise, format, first, std::min<int64_t>(1250, 10000 - first));
    pieces.insert(pieces.end(), part.begin(), part.end());
  }
  EXPECT_EQ(pieces, whole);
  EXPECT_NE(Render(*MakeNoise(-10.0, 8), format, 1000, 9000), whole);  // another seed, another noise

  const test::ToneMeasure left = test::MeasureTone(whole, 24, 2, 48000, 0, 9000, 0);
  EXPECT_LE(left.peak, 0.3163 * 8388607);
  EXPECT_GE(left.peak, 0.30 * 8388607);
  EXPECT_NE(whole[0], whole[3]);  // the channels are independent
}

TEST(Generators, AScriptPlaysItsSegmentsAndEnds) {
  const WaveFormat format = MakeWaveFormat(SampleFormat{8000, 16, 1});
  auto script = MakeScript({{SignalSegment::Kind::kSilence, 0.5},
                            {SignalSegment::Kind::kTone, 0.25, 500.0, -20.0},
                            {SignalSegment::Kind::kNoise, 0.125, 0.0, 0.0}});
  EXPECT_EQ(script->Length(format), 7000);
  const std::vector<uint8_t> bytes = Render(*script, format, 0, 8000);
  EXPECT_EQ(test::MeasureTone(bytes, 16, 1, 8000, 0, 4000).peak, 0);
  const test::ToneMeasure tone = test::MeasureTone(bytes, 16, 1, 8000, 4000, 2000);
  EXPECT_NEAR(tone.frequency, 500.0, 0.5);
  EXPECT_NEAR(tone.peak, 3277, 2);
  EXPECT_GT(test::MeasureTone(bytes, 16, 1, 8000, 6000, 1000).peak, 30000);
  EXPECT_EQ(test::MeasureTone(bytes, 16, 1, 8000, 7000, 1000).peak, 0);
}

TEST(PcmBlocks, ConvertBetweenMonoAndStereoInEveryDepth) {
  const uint8_t mono16[] = {0x01, 0x80, 0xFF, 0x7F};  // -32767, 32767
  uint8_t stereo16[8] = {};
  DuplicateMono(mono16, 2, 2, stereo16);
  EXPECT_EQ(std::vector<uint8_t>(stereo16, stereo16 + 8),
            (std::vector<uint8_t>{0x01, 0x80, 0x01, 0x80, 0xFF, 0x7F, 0xFF, 0x7F}));

  const uint8_t stereo24[] = {0x00, 0x00, 0x80, 0x02, 0x00, 0x00,   // -8388608 and 2
                              0xFF, 0xFF, 0x7F, 0xFF, 0xFF, 0x7F};  // 8388607 twice
  uint8_t mono24[6] = {};
  MixToMono(stereo24, 2, 3, mono24);
  EXPECT_EQ(std::vector<uint8_t>(mono24, mono24 + 6),
            (std::vector<uint8_t>{0x01, 0x00, 0xC0, 0xFF, 0xFF, 0x7F}));

  uint8_t eight[] = {0x80, 0x00, 0xFF};  // unsigned 0, -128, 127
  FlipSign(eight, 3);
  EXPECT_EQ(std::vector<uint8_t>(eight, eight + 3), (std::vector<uint8_t>{0x00, 0x80, 0x7F}));
  uint8_t mixed = 0;
  const uint8_t pair[] = {0x80, 0x7F};  // signed -128 and 127
  MixToMono(pair, 1, 1, &mixed);
  EXPECT_EQ(mixed, 0x00);
}

}  // namespace
}  // namespace lumora
