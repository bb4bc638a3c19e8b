#pragma once
// A drawing surface: a persistent image with the state a painted picture
// carries between calls (background and text colours, font, text cursor).
// Drawing on it goes through a Canvas; the controls keep their surfaces and
// blit only the rectangles that changed.

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QString>

#include "controls/Colors.h"

namespace lumora {

class Surface {
 public:
  Surface() = default;
  explicit Surface(QSize size, Color back = 0xFFFFFF);

  int W() const { return image_.width(); }
  int H() const { return image_.height(); }
  QSize Size() const { return image_.size(); }
  const QImage& Image() const { return image_; }
  QImage& Image() { return image_; }

  // A new size starts blank in the background colour.
  void Resize(QSize size);
  Color BackColor() const { return back_; }
  // Like a fresh canvas: the whole surface is cleared to the new colour.
  void SetBackColor(Color color);
  void Clear();

  Color ForeColor() const { return fore_; }
  void SetForeColor(Color color) { fore_ = ResolveColor(color); }
  const QFont& Font() const { return font_; }
  void SetFont(const QFont& font) { font_ = font; }

  // Text measures and the text cursor are in twips, as window geometry is.
  int TextWidth(const QString& text) const;
  int TextHeight() const;
  int CurrentX = 0;
  int CurrentY = 0;
  // Prints at the cursor in the text colour; the cursor moves to the next line.
  void Print(const QString& text);

 private:
  QImage image_;
  Color back_ = 0xFFFFFF;
  Color fore_ = 0;
  QFont font_;
};

// One painting session on a surface, antialiasing off. Lines include both end
// points; fills take their corners in any order and include both; everything
// past the surface is clipped.
class Canvas {
 public:
  explicit Canvas(Surface& surface);
  explicit Canvas(QImage& image);

  void Line(int x1, int y1, int x2, int y2, Color color);
  void Fill(int x1, int y1, int x2, int y2, Color color);
  void Pixel(int x, int y, Color color);
  // A segment of a pen walk (move to a, line to b) of the given width; the end
  // point is left to the next segment.
  void PenSegment(QPoint a, QPoint b, Color color, int width);
  // Text with its top-left corner at (x, y) pixels.
  void Text(int x, int y, const QString& text, Color color, const QFont& font);
  void Copy(int x, int y, const QImage& source, const QRect& sourceRect);
  QPainter& Painter() { return painter_; }

 private:
  QPainter painter_;
};

}  // namespace lumora
