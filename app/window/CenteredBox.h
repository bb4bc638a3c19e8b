#pragma once
// Message boxes that open centred over the window that asks, pulled back inside
// the screen, and the presenter through which the core's CenteredMessageBox
// reaches them.

#include <QPoint>
#include <QSize>
#include <cstdint>
#include <string>

class QWidget;

namespace lumora {

// Where a box of boxSize pixels goes over an owner whose outer geometry is given
// in twips (tpp twips per pixel), on a screen of screenTwips: centred on the
// owner, its bottom kept 600 twips above the screen's bottom edge (where the
// task bar usually is), its right edge inside the screen, never above or left
// of the screen's corner. Pixels, relative to the screen's top-left corner.
QPoint CenteredBoxTopLeft(QPoint ownerTopLeftTwips, QSize ownerSizeTwips, QSize boxSize, QSize screenTwips,
                          int32_t tpp);

// A modal box over owner (none: where the platform puts it; a minimised owner
// too) with the buttons and icon of flags (MessageStyle, support/MessageBox.h).
// Returns the answer's code (1 OK, 2 Cancel, 6 Yes, 7 No, ...).
int32_t ShowCenteredMessageBox(QWidget* owner, const std::string& text, int32_t flags, const std::string& caption,
                               int32_t tpp);

}  // namespace lumora
