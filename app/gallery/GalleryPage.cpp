#include "GalleryPage.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

#include "controls/FontRegistry.h"
#include "controls/Layout.h"

namespace lumora {

GalleryPage::GalleryPage(double sizeRate, QWidget* parent) : QWidget(parent), sizeRate_(sizeRate) {
  sections_ = new QVBoxLayout(this);
  sections_->setSpacing(Px(90));
  setAutoFillBackground(true);
}

int GalleryPage::Px(int twips) const { return ScaledPx(twips, sizeRate_); }

void GalleryPage::Section(const QString& title) {
  auto* label = new QLabel(title, this);
  label->setFont(SharedFont(static_cast<float>(10 * sizeRate_), true));
  sections_->addWidget(label);
  row_ = nullptr;
}

void GalleryPage::Row() {
  row_ = new QHBoxLayout;
  row_->setSpacing(Px(180));
  row_->setAlignment(Qt::AlignLeft | Qt::AlignTop);
  sections_->addLayout(row_);
}

void GalleryPage::Place(QWidget* control, const QString& label) {
  if (row_ == nullptr) Row();
  auto* cell = new QVBoxLayout;
  cell->setSpacing(Px(45));
  cell->addWidget(control, 0, Qt::AlignLeft);
  auto* caption = new QLabel(label, this);
  caption->setFont(SharedFont(static_cast<float>(8 * sizeRate_)));
  cell->addWidget(caption, 0, Qt::AlignLeft);
  cell->addStretch();
  row_->addLayout(cell);
}

}  // namespace lumora
