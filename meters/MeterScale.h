#pragma once
// The non-linear dB scale of the bar meters: 256 positions, dense near full
// scale, coarse near silence. Position 207 is 0 dB and is drawn at the right end
// of the bar; 255 is +10 dB.

#include <array>
#include <cstdint>

namespace lumora {

constexpr int32_t kMeterZeroDbPos = 207;

// dB value of each position, ascending (entries 0 and 1 are both -99.9). Built
// on first use; the same table for the whole run.
const std::array<float, 256>& MeterScale();

// Meter position of a dB value, 0 .. 255: 0 at or below -99.9 dB, 255 at or
// above +10 dB. interpolate: fractional position inside the segment that holds
// the value (-6 dB -> about 171.8); otherwise the nearest entry, ties to the
// lower one (-6 dB -> 172).
float DbToMeterPos(float db, bool interpolate);

}  // namespace lumora
