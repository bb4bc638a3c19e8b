// The software gain on raw buffers at each depth, and the 24-bit packing it uses.

#include <gtest/gtest.h>

#include <cmath>

#include "LevelFakes.h"
#include "meters/ApplyGain.h"
#include "meters/Levels.h"

namespace lumora {
namespace {

using Bytes = std::vector<uint8_t>;

Bytes Gained(int16_t bits, int16_t channels, std::initializer_list<int32_t> values,
             std::array<float, 2> gain) {
  const Bytes in = test::Pcm(values, bits);
  Bytes out(in.size(), 0xEE);
  std::vector<int32_t> work(values.size());
  EXPECT_TRUE(ApplyGain(in, out, std::ssize(values) / channels, {44100, bits, channels}, gain, work));
  return out;
}

TEST(ApplyGain, ClipsAndRoundsHalfToEvenAtEachDepth) {
  // 8 bit (values are byte - 128): x0.5 gives 191.5 -> 192 and 64.5 -> 64.
  EXPECT_EQ(Gained(8, 1, {-128, 0, 127, -127}, {2.0f, 2.0f}), test::Pcm({-128, 0, 127, -128}, 8));
  EXPECT_EQ(Gained(8, 2, {127, -127, 100, 100}, {0.5f, 0.0f}), test::Pcm({64, 0, 50, 0}, 8));
  // 24 bit clips to the whole two's complement range.
  EXPECT_EQ(Gained(24, 2, {5000000, -5000000, -5000000, 7}, {2.0f, 0.5f}),
            test::Pcm({8388607, -2500000, -8388608, 4}, 24));
}

// Unity gain, the usual setting, copies every sample but 16-bit -32768.
TEST(ApplyGain, UnityGainKeepsEverySampleButTheUnmatchedMinimum) {
  for (int16_t bits : {8, 16, 24}) {
    const SampleFormat format{44100, bits, 2};
    Bytes in(static_cast<size_t>(format.BlockAlign()) * 512);
    for (size_t i = 0; i < in.size(); ++i) in[i] = static_cast<uint8_t>(i * 131 + (i >> 3));
    in[0] = 0x00;  // -32768 at 16 bit
    in[1] = 0x80;
    std::vector<int32_t> work(1024);
    Bytes out(in.size());
    ASSERT_TRUE(ApplyGain(in, out, 512, format, {1.0f, 1.0f}, work));
    Bytes expected = in;
    if (bits == 16) expected[0] = 0x01;
    EXPECT_EQ(out, expected) << bits << " bit";
  }
}

TEST(ApplyGain, WorksInPlaceAndRefusesWhatDoesNotFit) {
  Bytes buffer = test::Pcm({100, -100}, 16);
  ASSERT_TRUE(ApplyGain(buffer, buffer, 1, {8000, 16, 2}, {2.0f, 0.5f}, {}));
  EXPECT_EQ(buffer, test::Pcm({200, -50}, 16));
  const Bytes in = test::Pcm({1, 2, 3, 4}, 24);
  Bytes out(in.size(), 0xEE);
  std::vector<int32_t> work(4);
  EXPECT_FALSE(ApplyGain(in, out, 3, {8000, 24, 2}, {1.0f, 1.0f}, work));  // 3 frames are 18 bytes
  EXPECT_FALSE(ApplyGain(in, out, 2, {8000, 24, 2}, {2.0f, 1.0f}, std::span(work).first(3)));
  EXPECT_FALSE(ApplyGain(in, out, 1, {8000, 12, 2}, {1.0f, 1.0f}, work));
  EXPECT_EQ(out, Bytes(in.size(), 0xEE));
}

// The 16-bit gain over every sample value, mono and stereo, against the rule
// itself: round half to even of s * g, clipped to +-32767. Buffers long enough
// for the wide path, with a tail for the sample loop.
TEST(ApplyGain, SixteenBitsAreExactForEveryValue) {
  std::vector<int16_t> in(65536 + 5);
  for (size_t k = 0; k < in.size(); ++k) in[k] = static_cast<int16_t>(k - 32768);
  for (const std::array<float, 2> gain :
       {std::array<float, 2>{0.5f, DbToLin(-1.0f)}, {DbToLin(-1.0f), 0.5f}, {3.0f, 1e-3f}, {-0.75f, 1.5f}}) {
    for (const int16_t channels : {1, 2}) {
      const int64_t frames = std::ssize(in) / channels;
      std::vector<int16_t> out(in.size(), 0);
      ASSERT_TRUE(ApplyGain({reinterpret_cast<const uint8_t*>(in.data()), in.size() * 2},
                            {reinterpret_cast<uint8_t*>(out.data()), out.size() * 2}, frames,
                            {48000, 16, channels}, gain, {}));
      for (int64_t k = 0; k < frames * channels; ++k) {
        const double x = in[k] * static_cast<double>(gain[channels == 2 ? k % 2 : 0]);
        ASSERT_EQ(out[k], std::nearbyint(std::clamp(x, -32767.0, 32767.0))) << k << " x" << gain[0];
      }
    }
  }
}

}  // namespace
}  // namespace lumora
