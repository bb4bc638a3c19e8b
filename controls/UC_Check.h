#pragma once
// UC_Check: a check box or option button drawn by the program so that it
// blends into shaded window backgrounds: the window's background under it, a
// shaded square box, a check mark or a dot, and the caption. A click toggles
// it (check box) or selects it (option button) and raises Click; clearing the
// other option buttons of a group is the owner's task.

#include <QString>
#include <cstdint>

#include "controls/DrawnWidget.h"

namespace lumora {

class UC_Check : public SkinnedControl {
  Q_OBJECT

 public:
  explicit UC_Check(QWidget* parent = nullptr);

  void SetEnabled(bool on);
  QString Caption() const { return caption_; }
  void SetCaption(const QString& caption) override;  // lays out again
  void SetFontSize(float size) override;             // used at the next layout
  void SetSizeRate(float rate) override;             // scales the box and the check mark
  int32_t Value() const { return value_; }
  void SetValue(int32_t value) override;
  const QImage* Gradhdc() const { return boxImage_; }
  void SetGradhdc(const QImage* boxImage) override;  // the window's shared box image; null is refused
  int32_t IsOption() const { return isOption_; }
  void SetIsOption(int32_t option);
  void SetBGPic(int pX, int pY, const Surface* background) override;
  void CloseBGObj();

 signals:
  void Click();

 protected:
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int BoxPixels() const;
  void Layout();
  void Draw();
  void DrawMark(Canvas& canvas, int boxTop, Color color) const;

  QString caption_;
  int32_t value_ = 0;
  int32_t isOption_ = 0;
  float fontSize_ = 9;
  float sizeRate_ = 1;
  const QImage* boxImage_ = nullptr;
  Surface ownBox_;
  const Surface* background_ = nullptr;
  QPoint backgroundAt_;  // pixels
  int textTop_ = 0;
  bool laidOut_ = false;
};

}  // namespace lumora
