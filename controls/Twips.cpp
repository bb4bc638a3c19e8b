#include "controls/Twips.h"

#include <QGuiApplication>
#include <QScreen>
#include <algorithm>

#include "support/Rounding.h"

namespace lumora {
namespace {
int tpp = 15;
}

int Tpp() { return tpp; }

void SetTpp(int twipsPerPixel) { tpp = std::max(1, twipsPerPixel); }

void ReadTppFromScreen() {
  const QScreen* screen = QGuiApplication::primaryScreen();
  const double dpi = screen != nullptr ? screen->logicalDotsPerInch() : 96.0;
  SetTpp(dpi > 0 ? static_cast<int>(RoundHalfEven(1440.0 / dpi)) : 15);
}

}  // namespace lumora
