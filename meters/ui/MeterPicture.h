#pragma once
// The picture a meter or a level history draws on: a drawn widget whose
// surface keeps the picture (nothing is lost when the widget is covered) and
// whose paint event blits only the rectangles the drawing marked as changed,
// so the meters never flicker.

#include <cstdint>

#include "controls/DrawnWidget.h"

namespace lumora {

class MeterPicture : public DrawnWidget {
 public:
  explicit MeterPicture(QWidget* parent = nullptr);

  // Sizes the widget and its surface; the new surface is blank in the back colour.
  void SetPictureSize(QSize size);
  Surface& Drawing() { return surface_; }
  // The picture's extent in twips.
  int32_t ScaleWidth() const;
  int32_t ScaleHeight() const;
  // Fills the whole picture with the back colour.
  void Clear();
  // The pixels in `rect` were drawn: show them at the next repaint.
  void Changed(const QRect& rect) { Refresh(rect); }
};

}  // namespace lumora
