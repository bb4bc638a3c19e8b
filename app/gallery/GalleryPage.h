#pragma once
// The gallery's page: sections stacked top to bottom, each a title and rows of
// controls with a small label under each. A section is one function that adds
// its rows (see Sections.h).

#include <QString>
#include <QWidget>

class QVBoxLayout;
class QHBoxLayout;

namespace lumora {

class GalleryPage : public QWidget {
 public:
  explicit GalleryPage(double sizeRate, QWidget* parent = nullptr);

  // The interface size factor the controls are laid out with.
  double SizeRate() const { return sizeRate_; }
  // Design twips at this page's size factor, in pixels.
  int Px(int twips) const;

  void Section(const QString& title);
  void Row();
  // Adds a control with its label to the current row; returns the control.
  template <class W>
  W* Add(W* control, const QString& label) {
    Place(control, label);
    return control;
  }

 private:
  void Place(QWidget* control, const QString& label);

  double sizeRate_;
  QVBoxLayout* sections_;
  QHBoxLayout* row_ = nullptr;
};

}  // namespace lumora
