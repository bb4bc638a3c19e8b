#include "controls/UC_Slider.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <algorithm>

#include "controls/MouseCodes.h"
#include "controls/PaintFace.h"
#include "controls/Twips.h"
#include "support/Rounding.h"

namespace lumora {
namespace {

constexpr int kRepeatMs = 200;

}  // namespace

UC_Slider::UC_Slider(QWidget* parent)
    : DrawnWidget(parent), timerCheck_(std::make_unique<QtIntervalTimer>()) {
  setFocusPolicy(Qt::WheelFocus);
}

int UC_Slider::TrackLength() const { return PxToTwips(vertical_ ? track_.height() : track_.width()); }

int UC_Slider::Along(QPointF p) const {
  return static_cast<int>(vertical_ ? (p.y() - track_.y()) * Tpp() : (p.x() - track_.x()) * Tpp());
}

int UC_Slider::ArrowAt(QPoint p) const {
  if (noArrow_) return -1;
  for (int k = 0; k < 2; ++k)
    if (arrows_[k].contains(p)) return k;
  return -1;
}

void UC_Slider::resizeEvent(QResizeEvent*) {
  if (laidOut_ && SizeChanged()) Init2();
}

void UC_Slider::SetBGPic(int pX, int pY, const Surface* background) {
  background_ = background;
  backgroundAt_ = QPoint(TwipsToPx(pX), TwipsToPx(pY));
  if (laidOut_) Init2();
}

void UC_Slider::Init2() {
  const int length = vertical_ ? height() : width();
  const int thickness = vertical_ ? width() : height();
  const int arrow = noArrow_ ? 0 : std::min(thickness, length / 3);
  const auto span = [&](int from, int extent) {
    return vertical_ ? QRect(0, from, thickness, extent) : QRect(from, 0, extent, thickness);
  };
  arrows_[0] = span(0, arrow);
  arrows_[1] = span(length - arrow, arrow);
  track_ = span(arrow, length - 2 * arrow);
  surface_.Resize(size());
  surface_.SetBackColor(SystemColor(kSysButtonFace));
  CopyBackground(background_, backgroundAt_);
  under_ = surface_;

  // The track: a sunken groove along its middle.
  track_background_.Resize(track_.size());
  Canvas(track_background_).Copy(0, 0, under_.Image(), track_);
  const int mid = thickness / 2;
  const QRect groove =
      vertical_ ? QRect(mid - 2, 2, 4, track_.height() - 4) : QRect(2, mid - 2, track_.width() - 4, 4);
  EdgeBox(track_background_, PxToTwips(groove.x()), PxToTwips(groove.y()), PxToTwips(groove.width()),
          PxToTwips(groove.height()), true);
  Canvas(surface_).Copy(track_.x(), track_.y(), track_background_.Image(), track_background_.Image().rect());
  laidOut_ = true;
  if (!noArrow_) {
    for (int k = 0; k < 2; ++k) PaintArrow(k);
  }
  PaintThumb();
  thumbRect_ = QRect();
  const int32_t range = max_ - min_;
  if (range != 0) position_ = static_cast<int32_t>(RoundHalfEven(double(Travel()) / range * (value_ - min_)));
  DrawThumbAt(position_);
  Refresh();
}

void UC_Slider::PaintShaded(Surface& s) {
  if (noGrad_) {
    PaintFace(s, 1);
    return;
  }
  const Color shadow = SysColor(kSysButtonShadow);
  const Color face = SysColor(kSysButtonFace);
  PaintFace(s, vertical_ ? 6 : 5, AdjustColor(shadow, 0, 0, 0, 1.2), AdjustColor(face, 0, 0, 0, 1.1),
            AdjustColor(shadow, 0, 0, 0, 0.9));
}

void UC_Slider::PaintThumb() {
  const int ps = TwipsToPx(pointerSize_);
  const int across = vertical_ ? track_.width() : track_.height();
  thumb_.Resize(vertical_ ? QSize(across, ps) : QSize(ps, across));
  PaintShaded(thumb_);
  Canvas c(thumb_);
  // A mark across the thumb at a distance along it.
  const auto mark = [&](int at, Color color) {
    if (vertical_)
      c.Line(0, at, across - 1, at, color);
    else
      c.Line(at, 0, at, across - 1, color);
  };
  const Color grip = SysColor(kSysButtonShadow);
  if (centerLined_) {
    mark(ps / 2 - 1, grip);
  } else if (!noGrad_) {
    mark(4, grip);
    mark(ps - 6, grip);
  }
  if (!noGrad_) mark(ps - 1, SysColor(kSys3DDarkShadow));  // the trailing edge
}

void UC_Slider::PaintArrow(int k) {
  const QRect r = arrows_[k];
  Surface& face = arrowFace_[k];
  face.Resize(r.size());
  PaintShaded(face);
  const int pressed = pressedArrow_ == k ? 1 : 0;
  Canvas c(surface_);
  c.Copy(r.x(), r.y(), under_.Image(), r);
  c.Copy(r.x() + pressed, r.y() + pressed, face.Image(), face.Image().rect());
  // The separator on the side facing the track, and a triangle pointing outwards.
  const Color dark = SysColor(kSys3DDarkShadow);
  if (vertical_) {
    const int y = k == 0 ? r.bottom() : r.top();
    c.Line(r.left(), y, r.right(), y, dark);
  } else {
    const int x = k == 0 ? r.right() : r.left();
    c.Line(x, r.top(), x, r.bottom(), dark);
  }
  const QPoint m = r.center() + QPoint(pressed, pressed);
  const int h = std::max(2, std::min(r.width(), r.height()) / 5);
  const Color ink = SysColor(kSysButtonText);
  for (int i = 0; i <= h; ++i) {  // rows (or columns) of the triangle, from its tip
    const int at = (k == 0 ? -h / 2 + i : h / 2 - i);
    if (vertical_)
      c.Line(m.x() - i, m.y() + at, m.x() + i, m.y() + at, ink);
    else
      c.Line(m.x() + at, m.y() - i, m.x() + at, m.y() + i, ink);
  }
  Refresh(r);
}

void UC_Slider::DrawThumbAt(int positionTwips) {
  position_ = positionTwips;
  if (!laidOut_) return;
  const QRect old = thumbRect_;
  const int at = TwipsToPx(positionTwips);
  thumbRect_ = QRect(vertical_ ? QPoint(track_.x(), track_.y() + at) : QPoint(track_.x() + at, track_.y()),
                     thumb_.Size());
  Canvas c(surface_);
  if (old.isValid()) c.Copy(old.x(), old.y(), track_background_.Image(), old.translated(-track_.topLeft()));
  c.Copy(thumbRect_.x(), thumbRect_.y(), thumb_.Image(), thumb_.Image().rect());
  Refresh(old.isValid() ? old.united(thumbRect_) : thumbRect_);
}

void UC_Slider::SetValue(int32_t value) {
  const int32_t range = max_ - min_;
  if (range == 0) return;
  value_ = std::clamp(value, std::min(min_, max_), std::max(min_, max_));
  DrawThumbAt(static_cast<int>(RoundHalfEven(double(Travel()) / range * (value_ - min_))));
}

void UC_Slider::MoveThumbTo(int positionTwips) {
  const int32_t range = max_ - min_;
  if (range == 0) return;
  const int travel = Travel();
  const int64_t v = travel > 0 ? RoundHalfEven(double(range) / travel * positionTwips + min_) : min_;
  if (v > max_) {
    value_ = max_;
    DrawThumbAt(travel);
  } else if (v < min_) {
    value_ = min_;
    DrawThumbAt(0);
  } else {
    value_ = static_cast<int32_t>(v);
    DrawThumbAt(positionTwips);
  }
}

void UC_Slider::SetPointerSize(float fraction) {
  if (fraction >= 1) fraction = 0.95f;
  pointerSize_ = std::max(static_cast<int32_t>(RoundHalfEven(fraction * TrackLength())), PxToTwips(8));
  if (!laidOut_) return;
  PaintThumb();
  Canvas(surface_).Copy(track_.x(), track_.y(), track_background_.Image(), track_background_.Image().rect());
  thumbRect_ = QRect();
  Refresh(track_);
  const int32_t range = max_ - min_;
  DrawThumbAt(range != 0 ? static_cast<int>(RoundHalfEven(double(Travel()) / range * (value_ - min_))) : 0);
}

void UC_Slider::Step(int direction) {
  SetValue(value_ + direction * smallChange_);
  emit Scrolled(1);
}

void UC_Slider::TimerCheck() {
  if (pressedArrow_ == 0) Step(-1);
  if (pressedArrow_ == 1) Step(1);
}

void UC_Slider::PressArrow(int k) {
  pressedArrow_ = k;
  PaintArrow(k);
  TimerCheck();
  timerCheck_->Start(kRepeatMs, [this] { TimerCheck(); });
  clicked_ = true;
}

void UC_Slider::mousePressEvent(QMouseEvent* event) {
  const int arrow = ArrowAt(event->position().toPoint());
  if (arrow >= 0) {
    if (ArrowsWork() && event->button() == Qt::LeftButton) PressArrow(arrow);
    return;
  }
  if (refuseInput_) return;
  if (event->button() == Qt::LeftButton) {
    const int p = Along(event->position());
    last_ = p;
    const bool onThumb = position_ <= p && p < position_ + pointerSize_;
    grab_ = onThumb ? p - position_ : pointerSize_ / 2;
    MoveThumbTo(p - grab_);
  }
  clicked_ = true;
  emit MouseUD(true, ButtonNumber(event->button()));
  if (event->button() == Qt::LeftButton) emit Scrolled(1);
}

void UC_Slider::mouseMoveEvent(QMouseEvent* event) {
  if (refuseInput_ || pressedArrow_ >= 0 || !(event->buttons() & Qt::LeftButton)) return;
  const int p = Along(event->position());
  if (p == last_) return;
  last_ = p;
  MoveThumbTo(p - grab_);
  emit Scrolled(1);
}

void UC_Slider::mouseReleaseEvent(QMouseEvent* event) {
  const int button = ButtonNumber(event->button());
  if (pressedArrow_ >= 0 || ArrowAt(event->position().toPoint()) >= 0) {
    if (!ArrowsWork()) return;
    if (event->button() == Qt::LeftButton && pressedArrow_ >= 0) {
      const int k = pressedArrow_;
      pressedArrow_ = -1;
      PaintArrow(k);
      timerCheck_->Stop();
      clicked_ = false;
    }
    emit MouseUD(false, button);
    return;
  }
  if (refuseInput_) return;
  clicked_ = false;
  emit MouseUD(false, button);
  if (event->button() == Qt::LeftButton) emit Scrolled(1);
}

void UC_Slider::mouseDoubleClickEvent(QMouseEvent* event) {
  const int arrow = ArrowAt(event->position().toPoint());
  if (arrow >= 0) {
    if (ArrowsWork() && event->button() == Qt::LeftButton) PressArrow(arrow);
    return;
  }
  if (refuseInput_) return;
  emit DblClicked();
  emit Scrolled(1);
}

void UC_Slider::wheelEvent(QWheelEvent* event) {
  const int notches = event->angleDelta().y() / 120;
  if (refuseInput_ || notches == 0 || clicked_) return;
  Step(notches > 0 ? 1 : -1);
}

void UC_Slider::keyPressEvent(QKeyEvent* event) {
  if (refuseInput_ || clicked_) return QWidget::keyPressEvent(event);
  switch (event->key()) {
    case Qt::Key_Left:
    case Qt::Key_Up:
      Step(-1);
      break;
    case Qt::Key_Right:
    case Qt::Key_Down:
      Step(1);
      break;
    default:
      QWidget::keyPressEvent(event);
  }
}

}  // namespace lumora
