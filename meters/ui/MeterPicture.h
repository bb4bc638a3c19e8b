#pragma once
// The surface a meter or a level history draws on: the picture lives in a
// QImage (nothing is lost when the widget is hidden or covered), and the widget
// repaints only the rectangles the drawing marks as changed, so the meters
// never flicker.

#include <QColor>
#include <QImage>
#include <QWidget>
#include <cstdint>

namespace lumora {

class MeterPicture : public QWidget {
 public:
  explicit MeterPicture(QWidget* parent = nullptr);

  // Sizes the widget and its image; the new image is cleared to the back colour.
  void SetPictureSize(QSize size);
  QImage& Image() { return image_; }
  const QImage& Image() const { return image_; }

  // Twips per screen pixel of the coordinates the meters are laid out in.
  int32_t Tpp() const { return tpp_; }
  void SetTpp(int32_t tpp) { tpp_ = tpp; }
  // The picture's extent in twips.
  int32_t ScaleWidth() const { return image_.width() * tpp_; }
  int32_t ScaleHeight() const { return image_.height() * tpp_; }

  QColor BackColor() const { return back_; }
  QColor ForeColor() const { return fore_; }
  void SetBackColor(QColor c) { back_ = c; }
  void SetForeColor(QColor c) { fore_ = c; }

  // Fills the whole picture with the back colour.
  void Clear();
  // The pixels in `rect` were drawn: show them at the next repaint.
  void Changed(const QRect& rect) { update(rect); }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  QImage image_;
  int32_t tpp_ = 15;
  QColor back_{32, 32, 32};
  QColor fore_{192, 192, 192};
};

}  // namespace lumora
