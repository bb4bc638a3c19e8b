#pragma once
// UC_Slider: a horizontal or vertical slider with a draggable thumb and, unless
// NoArrow, two arrow buttons that step the value by SmallChange at once and then
// every 200 ms (TimerCheck) while held. Positions along the track are twips.

#include <cstdint>
#include <memory>

#include "controls/DrawnWidget.h"
#include "controls/IntervalTimer.h"

namespace lumora {

class UC_Slider : public DrawnWidget {
  Q_OBJECT

 public:
  explicit UC_Slider(QWidget* parent = nullptr);

  // Lays out the track, the arrows and the thumb and paints them.
  void Init2();
  void SetIsVertical(int32_t value) { vertical_ = value != 0; }
  void SetNoArrow(int32_t value) { noArrow_ = value != 0; }
  void SetNoGrad(int32_t value) { noGrad_ = value != 0; }
  void SetDisabletrim(bool value) { disableTrim_ = value; }
  void SetRefuseInput(bool value) { refuseInput_ = value; }
  void SetCenterLined(bool value) { centerLined_ = value; }
  // The window's background and this control's position in it (twips): the
  // track and the arrows' corners show what lies under the slider. Without one
  // they lie on the button-face colour.
  void SetBGPic(int pX, int pY, const Surface* background);
  int32_t SmallChange() const { return smallChange_; }
  void SetSmallChange(int32_t value) { smallChange_ = value; }
  int32_t LargeChange() const { return largeChange_; }
  void SetLargeChange(int32_t value) { largeChange_ = value; }
  void SetPointerSize(int32_t twips) { pointerSize_ = twips; }
  // A fraction of the track (1 or more counts as 0.95), at least 8 pixels; repaints the thumb.
  void SetPointerSize(float fraction);
  int32_t PointerSize() const { return pointerSize_; }
  int32_t Max() const { return max_; }
  void SetMax(int32_t value) { max_ = value; }
  int32_t Min() const { return min_; }
  void SetMin(int32_t value) { min_ = value; }
  bool Clicked() const { return clicked_; }
  int32_t Value() const { return value_; }
  // Clamped to Min … Max and shown; nothing happens while Min = Max.
  void SetValue(int32_t value);

  // The thumb's position in twips from the start of the track.
  int32_t ThumbPosition() const { return position_; }
  // The track in pixels within the control.
  QRect TrackRect() const { return track_; }
  // The arrow repeat's timer; a test hands in a hand-stepped one.
  void SetTimer(std::unique_ptr<IntervalTimer> timer) { timerCheck_ = std::move(timer); }
  // One tick of TimerCheck: a step of the pressed arrow.
  void TimerCheck();

 signals:
  void MouseUD(bool IsDown, int nButton);
  void Scrolled(int nButton);
  void DblClicked();

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void wheelEvent(QWheelEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  int TrackLength() const;  // twips
  int Travel() const { return TrackLength() - pointerSize_; }
  int Along(QPointF p) const;  // twips from the track's start
  int ArrowAt(QPoint p) const;
  bool ArrowsWork() const { return !refuseInput_ && !disableTrim_ && !noArrow_; }
  void PaintThumb();
  void PaintArrow(int k);
  void PaintShaded(Surface& s);  // the thumb's and the arrows' face
  void DrawThumbAt(int positionTwips);
  void MoveThumbTo(int positionTwips);  // position to value
  void PressArrow(int k);
  void Step(int direction);

  const Surface* background_ = nullptr;
  QPoint backgroundAt_;  // pixels
  Surface under_;        // what lies under the control
  Surface track_background_;
  Surface thumb_;
  Surface arrowFace_[2];
  QRect track_;
  QRect arrows_[2];
  QRect thumbRect_;
  std::unique_ptr<IntervalTimer> timerCheck_;
  int32_t value_ = 0, min_ = 0, max_ = 1000;
  int32_t smallChange_ = 10, largeChange_ = 0;
  int32_t pointerSize_ = 480;
  int32_t position_ = 0;
  bool vertical_ = false, noArrow_ = false, noGrad_ = false;
  bool disableTrim_ = false, refuseInput_ = false, centerLined_ = false;
  bool clicked_ = false;
  bool laidOut_ = false;
  int grab_ = 0;
  int last_ = -1;
  int pressedArrow_ = -1;
};

}  // namespace lumora
