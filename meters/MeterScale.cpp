#include "meters/MeterScale.h"

#include <algorithm>
#include <cmath>

namespace lumora {

namespace {
// Evenly spaced stretches of the scale: entries first..last start at startDb.
struct Segment {
  int32_t first;
  int32_t last;
  double startDb;
  double stepDb;
};

constexpr Segment kSegments[] = {
    {3, 10, -90.0, 5.0},           {11, 22, -50.0, 5.0 / 6.0},   {23, 42, -40.0, 0.5},
    {43, 78, -30.0, 5.0 / 18.0},   {79, 104, -20.0, 5.0 / 26.0}, {105, 142, -15.0, 5.0 / 38.0},
    {143, 178, -10.0, 5.0 / 36.0}, {179, 206, -5.0, 5.0 / 28.0}, {207, 230, 0.0, 5.0 / 24.0},
    {231, 255, 5.0, 5.0 / 24.0},
};

std::array<float, 256> BuildScale() {
  std::array<float, 256> scale{};
  scale[0] = scale[1] = -99.9f;
  scale[2] = -96.0f;
  for (const Segment& s : kSegments) {
    for (int32_t i = s.first; i <= s.last; ++i) {
      scale[i] = static_cast<float>(s.startDb + s.stepDb * (i - s.first));
    }
  }
  return scale;
}
}  // namespace

const std::array<float, 256>& MeterScale() {
  static const std::array<float, 256> scale = BuildScale();
  return scale;
}

float DbToMeterPos(float db, bool interpolate) {
  const std::array<float, 256>& scale = MeterScale();
  if (!(db > scale[0])) return 0.0f;  // NaN too
  if (db >= scale[255]) return 255.0f;
  const int32_t i =
      static_cast<int32_t>(std::lower_bound(scale.begin() + 1, scale.end(), db) - scale.begin());
  const float below = scale[i - 1];
  const float above = scale[i];
  if (interpolate) {
    return static_cast<float>((i - 1) +
                              (static_cast<double>(db) - below) / (static_cast<double>(above) - below));
  }
  return static_cast<float>(std::fabs(db - below) <= std::fabs(db - above) ? i - 1 : i);
}

}  // namespace lumora
