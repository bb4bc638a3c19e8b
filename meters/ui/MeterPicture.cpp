#include "meters/ui/MeterPicture.h"

#include <QPaintEvent>
#include <QPainter>

namespace lumora {

MeterPicture::MeterPicture(QWidget* parent) : QWidget(parent) {
  // Every pixel comes from the image: Qt need not erase the background first.
  setAttribute(Qt::WA_OpaquePaintEvent);
  SetPictureSize(QSize(1, 1));
}

void MeterPicture::SetPictureSize(QSize size) {
  setFixedSize(size);
  image_ = QImage(size, QImage::Format_RGB32);
  Clear();
}

void MeterPicture::Clear() {
  image_.fill(back_);
  update();
}

void MeterPicture::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.drawImage(event->rect(), image_, event->rect());
}

}  // namespace lumora
