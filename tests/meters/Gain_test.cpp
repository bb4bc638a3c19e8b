// The software gain on raw buffers at each depth, and the 24-bit packing it uses.

#include <gtest/gtest.h>

#include <vector>

#include "LevelFakes.h"
#include "meters/ApplyGain.h"
#include "meters/Pcm24.h"

namespace lumora {
namespace {

// PCM bytes of the given sample values (interleaved) at `bits`.
std::vector<uint8_t> Pcm(int16_t bits, std::initializer_list<int32_t> values) {
  std::vector<uint8_t> out;
  for (int32_t v : values) testing::PutSample(out, bits, v);
  return out;
}

// Applies the gain to `in` and returns the output bytes.
std::vector<uint8_t> Gained(int16_t bits, int16_t channels, std::initializer_list<int32_t> values,
                            std::array<float, 2> gain) {
  const std::vector<uint8_t> in = Pcm(bits, values);
  std::vector<uint8_t> out(in.size(), 0xEE);
  std::vector<int32_t> work(values.size());
  const int64_t frames = static_cast<int64_t>(values.size()) / channels;
  EXPECT_TRUE(ApplyGain(in, out, frames, {44100, bits, channels}, gain, work));
  return out;
}

TEST(ApplyGain, EightBitScalesAroundTheMiddleAndClipsToAByte) {
  // Sample values are byte - 128.
  EXPECT_EQ(Gained(8, 1, {-128, 0, 127, -127}, {2.0f, 2.0f}), Pcm(8, {-128, 0, 127, -128}));
  // x0.5: 63.5 + 128 = 191.5 -> 192 and -63.5 + 128 = 64.5 -> 64 (halves to even).
  EXPECT_EQ(Gained(8, 1, {-128, 127, -127}, {0.5f, 0.5f}), Pcm(8, {-64, 64, -64}));
  EXPECT_EQ(Gained(8, 2, {100, 100}, {1.0f, 0.0f}), Pcm(8, {100, 0}));
}

TEST(ApplyGain, SixteenBitClipsSymmetricallyEvenAtUnityGain) {
  EXPECT_EQ(Gained(16, 1, {-32768, 32767, 1234}, {1.0f, 1.0f}), Pcm(16, {-32767, 32767, 1234}));
  EXPECT_EQ(Gained(16, 2, {20000, -20000, -20000, 20000}, {2.0f, 1.0f}),
            Pcm(16, {32767, -20000, -32767, 20000}));
  EXPECT_EQ(Gained(16, 1, {3, 5, -3, -5}, {0.5f, 0.5f}), Pcm(16, {2, 2, -2, -2}));
  EXPECT_EQ(Gained(16, 1, {30000}, {1.0e9f, 1.0f}), Pcm(16, {32767}));
}

TEST(ApplyGain, TwentyFourBitClipsToTheFullTwoComplementRange) {
  EXPECT_EQ(Gained(24, 1, {-8388608, 8388607, -1}, {1.0f, 1.0f}), Pcm(24, {-8388608, 8388607, -1}));
  EXPECT_EQ(Gained(24, 2, {5000000, -5000000, 7, 7}, {2.0f, 0.5f}), Pcm(24, {8388607, -2500000, 14, 4}));
  EXPECT_EQ(Gained(24, 1, {-5000000, 3}, {2.0f, 2.0f}), Pcm(24, {-8388608, 6}));
}

TEST(ApplyGain, WorksInPlace) {
  std::vector<uint8_t> buffer = Pcm(16, {100, -100, 30000, -30000});
  ASSERT_TRUE(ApplyGain(buffer, buffer, 2, {8000, 16, 2}, {2.0f, 0.5f}, {}));
  EXPECT_EQ(buffer, Pcm(16, {200, -50, 32767, -15000}));
}

TEST(ApplyGain, RefusesWhatDoesNotFitAndWritesNothing) {
  const std::vector<uint8_t> in = Pcm(24, {1, 2, 3, 4});
  std::vector<uint8_t> out(in.size(), 0xEE);
  std::vector<int32_t> work(4);
  const std::vector<uint8_t> untouched = out;
  EXPECT_FALSE(ApplyGain(in, out, 3, {8000, 24, 2}, {1.0f, 1.0f}, work));  // 3 frames are 18 bytes
  EXPECT_FALSE(ApplyGain(in, out, 2, {8000, 24, 2}, {1.0f, 1.0f}, std::span(work).first(3)));
  EXPECT_FALSE(ApplyGain(in, out, 1, {8000, 12, 2}, {1.0f, 1.0f}, work));
  EXPECT_FALSE(ApplyGain(in, out, 1, {8000, 16, 6}, {1.0f, 1.0f}, work));
  EXPECT_FALSE(ApplyGain(in, out, -1, {8000, 24, 2}, {1.0f, 1.0f}, work));
  EXPECT_EQ(out, untouched);
  EXPECT_TRUE(ApplyGain(in, out, 0, {8000, 24, 2}, {1.0f, 1.0f}, {}));
  EXPECT_EQ(out, untouched);
}

TEST(Pcm24, UnpackAndPackRoundTripAndResize) {
  const std::vector<uint8_t> bytes = Pcm(24, {0, 1, -1, 8388607, -8388608, 0x123456, -0x123456});
  std::vector<int32_t> mono(2, 99);
  Unpack24(bytes, mono);
  EXPECT_EQ(mono, (std::vector<int32_t>{0, 1, -1, 8388607, -8388608, 0x123456, -0x123456}));
  std::vector<uint8_t> packed;
  Pack24(mono, packed);
  EXPECT_EQ(packed, bytes);

  std::vector<StereoSample> pairs;
  Unpack24Stereo(bytes, pairs);  // the odd last sample is not a whole frame
  ASSERT_EQ(pairs.size(), 3u);
  EXPECT_EQ(pairs[1].left, -1);
  EXPECT_EQ(pairs[1].right, 8388607);
  Pack24Stereo(pairs, packed);
  EXPECT_EQ(packed, std::vector<uint8_t>(bytes.begin(), bytes.begin() + 18));
}

TEST(Pcm24, PackingClipsAndSizesAreChecked) {
  std::vector<uint8_t> packed;
  Pack24(std::vector<int32_t>{9000000, -9000000, INT32_MIN}, packed);
  EXPECT_EQ(packed, Pcm(24, {8388607, -8388608, -8388608}));
  Pack24Stereo(std::vector<StereoSample>{{9000000, -9000000}}, packed);
  EXPECT_EQ(packed, Pcm(24, {8388607, -8388608}));

  std::vector<int32_t> small(1);
  EXPECT_FALSE(Unpack24Into(Pcm(24, {1, 2}), small));
  std::vector<uint8_t> tooShort(5);
  EXPECT_FALSE(Pack24Into(std::vector<int32_t>{1, 2}, tooShort));
}

TEST(Pcm24, SampleTimesFactorRoundsHalfToEven) {
  const std::vector<uint8_t> bytes = Pcm(24, {-8388608, 5, -5, 8388607});
  EXPECT_EQ(Sample24(&bytes[0], 1.0), -8388608);
  EXPECT_EQ(Sample24(&bytes[3], 0.5), 2);
  EXPECT_EQ(Sample24(&bytes[6], 0.5), -2);
  EXPECT_EQ(Sample24(&bytes[6], 0.7), -4);             // -3.5 -> -4
  EXPECT_EQ(Sample24(&bytes[9], 1000.0), 2147483647);  // clamped, not wrapped
}

}  // namespace
}  // namespace lumora
