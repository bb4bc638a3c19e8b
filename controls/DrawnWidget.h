#pragma once
// The base of every drawn control: a widget whose look lives in a persistent
// surface. Drawing changes the surface and marks only the changed rectangle;
// a paint event blits just that rectangle.

#include <QWidget>

#include "controls/Surface.h"

namespace lumora {

class DrawnWidget : public QWidget {
  Q_OBJECT

 public:
  explicit DrawnWidget(QWidget* parent = nullptr);

  const Surface& Face() const { return surface_; }
  // The control as drawn: its surface, without a paint event.
  const QImage& Picture() const { return surface_.Image(); }
  // A drawn control keeps the size it is given.
  QSize sizeHint() const override { return size(); }

 protected:
  void paintEvent(QPaintEvent* event) override;
  // Shows the changed part of the surface at the next paint.
  void Refresh(const QRect& changed) { update(changed); }
  void Refresh() { update(); }
  // True when the widget's size differs from the surface's: a resize that needs a new layout.
  bool SizeChanged() const { return size() != surface_.Size(); }
  // Starts a drawing with the part of the window's background that lies under
  // the control (at: the control's place in it, pixels), or with the surface
  // cleared to its background colour when there is none.
  void CopyBackground(const Surface* background, QPoint at);

  Surface surface_;
};

// A control that takes a share of the window's skin: the shared box image,
// the background under it, and its caption, value, font size and size factor.
class SkinnedControl : public DrawnWidget {
  Q_OBJECT

 public:
  using DrawnWidget::DrawnWidget;

  virtual void SetGradhdc(const QImage* boxImage) = 0;
  // The window's background and this control's position in it, in twips.
  virtual void SetBGPic(int pX, int pY, const Surface* background) = 0;
  virtual void SetFontSize(float size) = 0;
  virtual void SetSizeRate(float rate) = 0;
  virtual void SetCaption(const QString& caption) = 0;
  virtual void SetValue(int32_t value) = 0;
};

}  // namespace lumora
