#include "controls/DrawnWidget.h"

#include <QPaintEvent>
#include <QPainter>

namespace lumora {

DrawnWidget::DrawnWidget(QWidget* parent) : QWidget(parent) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void DrawnWidget::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.drawImage(event->rect().topLeft(), surface_.Image(), event->rect());
}

void DrawnWidget::CopyBackground(const Surface* background, QPoint at) {
  surface_.Clear();
  if (background != nullptr) Canvas(surface_).Copy(0, 0, background->Image(), QRect(at, surface_.Size()));
}

}  // namespace lumora
