#pragma once
// Helpers for pixel checks of drawn controls.

#include <QApplication>
#include <QImage>
#include <QMouseEvent>
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

}  // namespace lumora
