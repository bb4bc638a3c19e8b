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

}  // namespace lumora
