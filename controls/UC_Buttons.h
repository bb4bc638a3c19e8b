#pragma once
// UC_Buttons: a row of equal-width push buttons drawn by the program, each with
// an 18 × 18 icon or a caption: one shared face in one of four designs, copied
// into every cell; a pressed button is drawn one pixel lower. Reports clicks,
// right clicks, shift-clicks, presses and hovering by button index.

#include <QString>
#include <cstdint>
#include <vector>

#include "controls/DrawnWidget.h"

namespace lumora {

class UC_Buttons : public DrawnWidget {
  Q_OBJECT

 public:
  explicit UC_Buttons(QWidget* parent = nullptr);

  const QImage& PiclibHdc() const { return icons_; }
  int32_t NumButtons() const { return static_cast<int32_t>(buttons_.size()); }
  void SetNumButtons(int32_t count);  // below 1 gives 1; every per-button setting starts afresh
  void SetMimiWidth(int32_t width) { mimiWidth_ = width; }
  void SetDesignType(int32_t design);
  void DrawAll();
  int32_t GetButtonDisable(int16_t pIndex, int32_t pTemp = 0) const;
  void SetButtonDisable(int16_t pIndex, int32_t pValue, int32_t pDraw = 0, int32_t pTemp = 0);
  void SetButtonDisableAll(int32_t pValue, int32_t pTemp = 0);
  void SetNoGrayAtDisabled(int32_t value) { noGrayAtDisabled_ = value; }
  void SetButtonState(int16_t pIndex, int16_t pMode);
  void SetToolTip(const QString& text) { setToolTip(text); }
  void SetPicIndexa(int32_t pIndex, int32_t pValue);
  void SetPicIndexn(int32_t pIndex, int32_t pValue);
  void SetButtonsMCI();
  void SetButtonsPCXplay();
  void SetButtonsEditorCtrl();
  void SetButtonsEditorPlay();
  void SetDisable3D(int32_t value) { disable3D_ = value; }
  void SetOKCancel(int32_t pOKIsZero = 0, int32_t pNoSize = 0, int32_t pType = 0);
  void SetFontSize(float size);
  void SetFontFace(const QString& face);
  void SetFontBold(bool bold);
  void SetSelectedColor(Color color);
  int32_t SelectedButton() const { return selectedButton_; }
  void SetSelectedButton(int32_t index);
  void SetButtonChar(int32_t index, const QString& text);
  QString GetButtonChar(int16_t pIndex) const;
  void SetButtonOn(int16_t pIndex, int32_t pValue, int32_t pDraw = 0);
  int32_t GetButtonOn(int16_t pIndex) const;
  void SetButtonCharNum();

  // Lays the strip out for its size (also run on every resize): the width
  // becomes a whole number of buttons plus the ears.
  void Layout();
  int ButtonWidth() const { return bw_; }
  int ButtonLeft(int index) const { return buttons_.at(static_cast<size_t>(index)).x; }
  int HoverIndex() const { return hover_; }

 signals:
  void ButtonClicked(int ClickedIndex);
  void RightClicked(int ClickedIndex);
  void ShiftClicked(int ClickedIndex, int Shift);
  void ButtonDown(int ClickedIndex);
  void Hover(int pButtonIndex);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;

 private:
  struct Button {
    int x = 0;
    QPoint at;  // icon or caption position
    int32_t disabled = 0, tempDisabled = 0, on = 0;
    QString caption;
    int32_t normalIcon = -1, activeIcon = -1, activeFlag = 0;
  };

  bool Valid(int index) const { return index >= 0 && index < NumButtons(); }
  bool Enabled(int index) const { return buttons_[index].disabled == 0 && buttons_[index].tempDisabled == 0; }
  void ApplyFont();
  void ApplyIconPreset(int count, std::initializer_list<int> normal, std::initializer_list<int> active,
                       int flag);
  void PlaceContent(int index);
  void DrawButton(int index, int state);
  void DrawCaption(const Button& b, int offset, bool highlighted, bool disabled);
  int HitTest(int x) const;
  void Press(int x, Qt::MouseButton button);

  std::vector<Button> buttons_;
  Surface face_;  // one button's face
  QImage icons_;
  bool iconsTinted_ = false;
  bool laidOut_ = false;
  bool inLayout_ = false;
  int32_t designType_ = 0;
  int32_t mimiWidth_ = -1;
  int ears_ = 0;
  int bw_ = 0, bh_ = 0;
  Color selectedColor_ = 0x00D000;
  Color selectedDark_ = 0x00A000;
  int32_t selectedButton_ = -1;
  int32_t disable3D_ = 1;
  int32_t noGrayAtDisabled_ = 0;
  float fontSize_ = 9;
  QString fontFace_;
  bool fontBold_ = false;
  int hover_ = -1;
  int pressed_ = -1;
  int lastX_ = 0;
};

}  // namespace lumora
