#pragma once
// The level scan: each timer tick measures the newest frames of one side (the
// input or the playback) for the bar meter, the level history and automatic
// recording, reading the frames where the ring buffers hold them.

#include <array>
#include <cstdint>
#include <span>
#include <string>

#include "meters/FrameTable.h"
#include "meters/Levels.h"
#include "support/SampleFormat.h"

namespace lumora {

enum class LevelSide : int32_t { kInput = 0, kPlayback = 1 };

// What a meter bar receives (the window's VU meter implements it).
class VuMeter {
 public:
  virtual ~VuMeter() = default;
  // Bar `bar` (0 left or mono, 1 right) shows rmsDb with a peak mark at peakDb and
  // `text` beside it; holdDb 99.0 means no hold mark.
  virtual void DrawVU(int32_t bar, float rmsDb, float peakDb, const std::string& text, float holdDb) = 0;
};

// Magnitudes of one frame after gain and clipping: left (or mono) and right
// (0 for mono).
using FrameMagnitudes = std::array<int32_t, 2>;

// What the level history receives from each full scan.
class LevelHistory {
 public:
  virtual ~LevelHistory() = default;
  // A scan is about to deliver frames first..last (inclusive): those not drawn
  // yet, at most the last RmsWindow + 1. first > last when nothing is new.
  virtual void BeginHistory(int64_t first, int64_t last) = 0;
  // The next frames of that range in ascending order, in blocks.
  virtual void AddMagnitudes(std::span<const FrameMagnitudes> frames) = 0;
};

// Everything the level scan keeps between ticks; the recorder owns one.
struct LevelState {
  LevelState() { SetupFormat(SampleFormat{}); }

  // A new format: window lengths, FullScale, and no history drawn on either side.
  void SetupFormat(const SampleFormat& newFormat);
  // The side's history display was cleared (recording, monitoring or playback stopped).
  void ResetHistory(LevelSide side) { lastHistoryPosition[static_cast<size_t>(side)] = -1; }

  SampleFormat format;
  int32_t formatIndex = 3;
  int32_t fullScale = 32767;
  int64_t peakWindow = 0;
  int64_t rmsWindow = 0;
  int64_t historyWindow = 0;
  // Newest frame handed to the history per side, -1 when nothing is drawn.
  std::array<int64_t, 2> lastHistoryPosition{-1, -1};
  // Software input gain (left, right). The playback gain is already in the
  // played buffers, so the playback side is measured raw.
  std::array<float, 2> inputGain{1.0f, 1.0f};
  bool rmsPlus3 = false;  // "RMS+3db"
  LevelThresholds thresholds;
};

// Where a full scan's readings go. The meter is drawn only when the side is live
// (input: recording or monitoring; playback: playing); either pointer may be null.
struct ScanOutputs {
  VuMeter* meter = nullptr;
  LevelHistory* history = nullptr;
  bool live = false;
};

// Measures frames endFrame - window .. endFrame of `side` in `table`, where the
// window is the peak window (peakOnly) or the RMS window. Frames found in no
// record count as silence, so the levels rise gradually after a start. Input
// frames are measured after the input gain. A full scan feeds the history with
// the frames it has not drawn yet, records endFrame as drawn and tells the meter
// RMS and peak per channel (mono: both bars the same).
// Returns the largest magnitude of the last PeakWindow + 1 frames in sample units
// (at most FullScale); 0 without scanning when endFrame < 0 or the
// format is not 8/16/24 bit mono or stereo.
int32_t ScanLevels(LevelState& state, LevelSide side, const FrameTable& table, int64_t endFrame,
                   bool peakOnly, const ScanOutputs& outputs = {});

}  // namespace lumora
