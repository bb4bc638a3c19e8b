#pragma once
// Placing captions and controls, fitting texts, and scaling the interface by
// the size factor "SizeRate". Geometry arguments are twips unless named pixels.

#include <QRect>
#include <QString>
#include <QWidget>
#include <vector>

#include "controls/DrawnWidget.h"
#include "controls/FontRegistry.h"
#include "controls/Surface.h"
#include "controls/Twips.h"

class QComboBox;

namespace lumora {

// A widget's geometry in twips.
QRect TwipsRect(const QWidget& control);

// Prints text on the surface beside the control (geometry in twips on that
// surface): 0 left, 1 above at the left, 2 right, 3 above centred, 4 below at
// the left, 5 below at the right, 6 left centred, 7 right centred; 8 and above
// at the surface's text cursor.
void PlaceCaption(Surface& surface, const QRect& control, const QString& text, int position, int dx = 0,
                  int dy = 0);
void PlaceCaption(Surface& surface, const QWidget& control, const QString& text, int position, int dx = 0,
                  int dy = 0);

// The text cut to maxWidth twips as printed on the surface: the longest start
// (or, with keepEnd, end) that fits. No ellipsis.
QString FitText(const QString& text, const Surface& surface, int maxWidth, bool keepEnd);

// Places control beside reference: side 0 below, 1 right of, 2 centred on the
// same height, 3 right edges aligned. gap −1 is 2 pixels. align 1 copies the
// reference's other coordinate, 2 sets it to value.
void PlaceNextTo(QWidget& control, const QWidget& reference, int side, int gap = -1, int align = 0,
                 int value = 0);

// Design twips scaled by factor and rounded down to whole pixels.
int ScaledPx(int twips, double factor);
// Scales size (unless kept) and, with movePosition, position; with scaleFont a
// registry font of the control is replaced by the same face at factor × size.
void ScaleControl(double factor, QWidget& control, bool keepWidth = false, bool keepHeight = false,
                  bool movePosition = false, bool scaleFont = false);

// Hands a skinned control the shared box image (when given), the background
// under it, then its font size, size factor, caption and value.
void SetupSkinnedControl(SkinnedControl& control, const QString& caption, int32_t value,
                         const Surface* background, float fontSize, const QImage* gradient, float sizeRate);

// Moves a skinned control to at (pixels) and hands it the background under its new place.
void MoveSkinnedControl(SkinnedControl& control, QPoint at, const Surface* background);

// Selects the last entry of the combo box whose text equals text.
void ComboSelectText(QComboBox& combo, const QString& text);

// Creates element index of a control array beside element index − 1: same
// parent, size and font, next in the tab order; with setFont the registry's
// default font (for index 1 also on element 0); placed with PlaceNextTo when
// placeSide ≥ 0.
template <class W>
W* LoadNextControl(std::vector<W*>& controls, int index, int placeSide, bool visible, bool setFont, int gap) {
  if (index < 1 || index > static_cast<int>(controls.size())) return nullptr;
  W* previous = controls[index - 1];
  W* control = new W(previous->parentWidget());
  if (index == static_cast<int>(controls.size()))
    controls.push_back(control);
  else
    controls[index] = control;
  control->resize(controls[0]->size());
  control->setFont(controls[0]->font());
  QWidget::setTabOrder(previous, control);
  if (setFont) {
    SetControlFont(control, -2, nullptr, 9, false, false, {});
    if (index == 1) SetControlFont(controls[0], -2, nullptr, 9, false, false, {});
  }
  if (placeSide >= 0) PlaceNextTo(*control, *previous, placeSide, gap);
  control->setVisible(visible);
  return control;
}

}  // namespace lumora
