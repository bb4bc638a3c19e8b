#pragma once
// Helpers for pixel checks of drawn controls.

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
#include <QPalette>
#include <QTest>

#include "controls/Colors.h"
#include "controls/Surface.h"

namespace lumora {

// The colour of a pixel as a 0xBBGGRR value.
inline Color PixelAt(const QImage& image, int x, int y) { return FromQColor(image.pixelColor(x, y)); }

// A double click as a real pointer makes it: press, release, double click, release.
inline void DoubleClick(QWidget* widget, QPoint at, Qt::MouseButton button = Qt::LeftButton) {
  QTest::mouseClick(widget, button, {}, at);
  QMouseEvent event(QEvent::MouseButtonDblClick, at, widget->mapToGlobal(at), button, button, {});
  QApplication::sendEvent(widget, &event);
  QTest::mouseRelease(widget, button, {}, at);
}

// Runs a case with a classic grey button face and shadow, and restores the palette.
class ClassicPalette {
 public:
  ClassicPalette() : saved_(QApplication::palette()) {
    QPalette p = saved_;
    p.setColor(QPalette::Button, QColor(192, 192, 192));
    p.setColor(QPalette::Dark, QColor(128, 128, 128));
    QApplication::setPalette(p);
    ResetThemeColors();
  }
  ~ClassicPalette() {
    QApplication::setPalette(saved_);
    ResetThemeColors();
  }

 private:
  QPalette saved_;
};

}  // namespace lumora
