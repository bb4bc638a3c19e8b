// The 16-bit gain over every sample value, mono and stereo, against the rule
// itself: round half to even of s * g, clipped to +-32767. Buffers long enough
// for the wide path, with a tail for the sample loop.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <vector>

#include "meters/ApplyGain.h"
#include "meters/Levels.h"

namespace lumora {
namespace {

TEST(ApplyGain, SixteenBitsAreExactForEveryValue) {
  std::vector<int16_t> in(65536 + 5);
  for (size_t k = 0; k < in.size(); ++k) in[k] = static_cast<int16_t>(k - 32768);
  for (const std::array<float, 2> gain : {std::array<float, 2>{0.5f, DbToLin(-1.0f)},
                                          {DbToLin(-1.0f), 0.5f}, {3.0f, 1e-3f}, {-0.75f, 1.5f}}) {
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
