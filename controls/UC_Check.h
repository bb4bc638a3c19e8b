#pragma once
// UC_Check: a check box or option button drawn by the program so that it
// blends into shaded window backgrounds: the window's background under it, a
// shaded square box, a check mark or a dot, and the caption. A click toggles
// it (check box) or selects it (option button) and raises Click; clearing the
// other option buttons of a group is the owner's task.

#include <QImage>
#include <QString>
#include <QWidget>
#include <cstdint>

namespace lumora {

class UC_Check : public QWidget {
  Q_OBJECT

 public:
  explicit UC_Check(QWidget* parent = nullptr);

  bool Enabled() const { return isEnabled(); }
  void Enabled(bool on);
  QString Caption() const { return caption_; }
  void Caption(const QString& caption);  // lays out again
  void FontSize(float size);             // used at the next layout
  void SizeRate(float rate);             // scales the box and the check mark
  int32_t Value() const { return value_; }
  void Value(int32_t value);
  const QImage* Gradhdc() const { return boxImage_; }
  void Gradhdc(const QImage* image);  // the window's shared box image; null is refused
  int32_t IsOption() const { return isOption_; }
  void IsOption(int32_t option);
  // The window's background image and the control's place in it (twips).
  void SetBGPic(int32_t pX, int32_t pY, const QImage* pObj);
  void CloseBGObj();

 signals:
  void Click();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;

 private:
  int32_t BoxPixels() const;
  void Layout();
  void Draw();
  void DrawMark(QPainter& painter, int32_t boxTop, const QColor& color) const;

  QString caption_;
  int32_t value_ = 0;
  int32_t isOption_ = 0;
  float fontSize_ = 9;
  float sizeRate_ = 1;
  const QImage* boxImage_ = nullptr;
  QImage ownBox_;
  const QImage* background_ = nullptr;
  QPoint backgroundAt_;  // pixels
  int32_t textTop_ = 0;
  bool laidOut_ = false;
  QImage surface_;
};

}  // namespace lumora
