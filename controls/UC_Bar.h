#pragma once
// UC_Bar: a horizontal position bar: a sunken trough filled from the left up to
// the value with a shaded bar, an optional text centred over it, and the
// position set by clicking or dragging along it.

#include <QString>
#include <cstdint>

#include "controls/DrawnWidget.h"

namespace lumora {

class UC_Bar : public DrawnWidget {
  Q_OBJECT

 public:
  explicit UC_Bar(QWidget* parent = nullptr);

  void SetStyle(float pSize, bool pBold, const QString& pName, Color pForeColor);
  int32_t Max() const { return max_; }
  void SetMax(int32_t max) { max_ = max; }
  void SetLocked(int32_t locked) { locked_ = locked != 0; }
  void SetBarColor(Color color);
  void SetNoGrad(int32_t noGrad);
  QString TextToDisp() const { return text_; }
  void SetTextToDisp(const QString& text) { text_ = text; }  // shown at the next drawing
  bool Clicked() const { return clicked_; }
  int32_t Value() const { return value_; }
  // Ignored while the user holds the bar, so that periodic updates do not fight a drag.
  void SetValue(int32_t v);

 signals:
  void MouseUD(bool IsDown);
  void Scrolled();
  void RightClicked(bool IsDown);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int LengthPx() const { return std::max(1, width() - 4); }
  void PaintImages();
  void DrawTo(int xPx);
  int32_t ValueAt(int xPx) const;
  void SetFromPointer(int xPx);

  Surface trough_;
  Surface bar_;
  int32_t value_ = 0;
  int32_t max_ = 100;
  Color barColor_ = 0xC08040;
  bool noGrad_ = false;
  bool locked_ = false;
  bool clicked_ = false;
  int lastX_ = -1;
  QString text_;
  QFont textFont_;
  Color textColor_ = SystemColor(kSysButtonText);
};

}  // namespace lumora
