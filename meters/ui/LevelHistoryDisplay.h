#pragma once
// The scrolling level history beside a meter: time runs from right to left, and
// each pixel column shows the mean magnitude of a fixed number of frames as a
// vertical line mirrored about its channel's centre line (one lane per
// channel). Each full level scan hands over the frames not drawn yet; the
// picture moves left by the new columns with one copy and only the new strip
// is drawn.

#include <QColor>
#include <array>
#include <cstdint>

#include "meters/LevelScan.h"

namespace lumora {

class MeterPicture;

class LevelHistoryDisplay : public LevelHistory {
 public:
  // Draws on `picture` (null: nothing is drawn).
  explicit LevelHistoryDisplay(MeterPicture* picture = nullptr) : picture_(picture) {}
  void SetPicture(MeterPicture* picture) { picture_ = picture; }

  // Lays the columns out for a format at the picture's present size: lanes,
  // scale (magnified by waveRate), frames per column. Call at every format
  // setup and when the picture is resized.
  void SetupFormat(const LevelState& levels, float waveRate);
  // Empties the picture; the level state's position of this side goes back to
  // -1 with it (LevelState::ResetHistory).
  void Clear();

  void BeginHistory(int64_t first, int64_t last) override;
  void AddMagnitudes(std::span<const FrameMagnitudes> frames) override;

 private:
  void Scroll(int32_t columns);
  void DrawColumn();
  void DrawLine(int32_t centre, double halfLength);

  MeterPicture* picture_;
  int32_t channels_ = 2;
  std::array<int32_t, 2> centre_{0, 0};
  double scale_ = 0;  // pixels per sample unit
  int64_t framesPerColumn_ = 1;
  // The scan in progress.
  int64_t next_ = 0;  // frame number of the next magnitude handed over
  int64_t last_ = -1;
  int32_t x_ = 0;  // column of the next line
  std::array<int64_t, 2> sum_{0, 0};
  int64_t count_ = 0;
};

}  // namespace lumora
