#pragma once
// The bar meter: one horizontal bar per channel on a MeterPicture, a gradient
// that turns red beyond the red point, a grey peak mark, an optional hold mark,
// the dB reading at the right, the channel labels at the left and a dB scale
// below the bars. Lengths are in twips (Tpp() per pixel); an edge falls on the
// pixel its twips value, rounded to a whole twip, lies in.

#include <QRect>
#include <QString>
#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "controls/Colors.h"
#include "meters/LevelScan.h"

namespace lumora {

class Canvas;
class MeterPicture;
class Surface;

class C_VU : public VuMeter {
 public:
  C_VU();

  // The picture drawn on; set before SetParms and any drawing. Without one
  // nothing is drawn.
  void SetPictureBox(MeterPicture* picture) {
    picture_ = picture;
    currentFontSize_ = 0;
  }
  void ClosePictureBox() { picture_ = nullptr; }

  // Point sizes: 0 the dB reading, 1 the channel labels, 2 the scale marks.
  void SetFontSize(int32_t type, float size);
  void SetCurrentFontSize(float size) { currentFontSize_ = size; }
  // Nonzero: the bar and text areas are drawn over without clearing first.
  void SetUseBG(int32_t useBG) { useBG_ = useBG; }
  // Bars 0..numValue; resizes the labels.
  void SetNumValue(int32_t numValue);
  // Half-thickness of a bar in pixels (a bar is 2 * barWidth - 1 rows) and the
  // step between its nested boxes.
  void SetBarWidth(int32_t barWidth) { barWidth_ = std::max(1, barWidth); }
  void SetBarWidthStep(int32_t step) { barWidthStep_ = std::max(1, step); }
  float BarMargin() const { return barMargin_; }
  void SetBarMargin(float twips) { barMargin_ = twips; }
  float TopMargin() const { return topMargin_; }
  void SetTopMargin(float twips) { topMargin_ = twips; }
  float RedPoint() const { return redPoint_; }
  void SetRedPoint(float db) { redPoint_ = db; }
  // Bar start and end margins, label offset and the gap right of the reading;
  // -1 leaves a value as it is.
  void SetMargin(float barXStart = -1, float barXEnd = -1, float labelX = -1, float dbXneg = -1);
  int32_t BarXStart() const;
  int32_t BarXEnd() const;

  // Lays the meter out on its picture (bar length, red point, colours, font
  // metrics, label positions) and clears the picture.
  void SetParms();
  // Nonzero: labels "1", "2", ...; zero: "L" for even bars, "R" for odd ones.
  void SetStrType(int32_t isNum);
  void SetStr(int32_t bar, const QString& label);

  // Bar `bar` shows rmsDb with a peak mark at peakDb and `text` at the right;
  // holdDb 99.0 draws no hold mark. Out-of-range bars are ignored.
  void DrawVU(int32_t bar, float rmsDb, float peakDb, const std::string& text, float holdDb) override;
  // Bar `bar`, or every bar for -1, falls to the left end with no reading.
  void ResetVU(int32_t bar);
  // Labels and the dB scale on the meter's own picture, or on `picture`.
  void DrawScale();
  void DrawScaleToPB(MeterPicture& picture);
  // Picture height in twips that holds every bar and the scale.
  int32_t PictureHeight() const;

 private:
  struct FontMetrics {
    float height = 0;  // of one full-width character, in twips
    float width = 0;
    float halfHeight = 0;
  };
  float BarThickness() const;
  float BarCentre(int32_t bar) const;
  float MeterX(float db, bool interpolate) const;
  // Applies font size `type` to the picture unless it is the size applied last.
  void ApplyFontSize(int32_t type);
  void MeasureFonts();
  void ComputeColours();
  void Box(Canvas& canvas, float x1, float y1, float x2, float y2, Color colour);
  void NestedBoxes(Canvas& canvas, float y, float x1, float x2, const std::vector<Color>& colours);
  void Print(Canvas& canvas, const Surface& surface, float x, float y, const QString& text);

  MeterPicture* picture_ = nullptr;
  int32_t useBG_ = 0;
  float redPoint_ = -20.0f;
  float barXStart_ = 0, barXEnd_ = 0, labelX_ = 60, dbXneg_ = 120;
  float barMargin_ = 60, topMargin_ = 75;
  int32_t numValue_ = 0;
  int32_t barWidth_ = 4, barWidthStep_ = 1;
  std::vector<Color> red_, green_, grey_;
  float barLength_ = 0;  // L
  float redX_ = 0;       // the red point's x, on a pixel boundary
  std::array<float, 3> fontSize_{8.0f, 8.0f, 8.0f};
  float currentFontSize_ = 0;  // 0: none applied yet
  std::array<FontMetrics, 3> metrics_{};
  std::vector<QString> labels_;
  std::vector<float> labelOffsets_;
  QRect changed_;  // pixels drawn by the current operation
};

}  // namespace lumora
