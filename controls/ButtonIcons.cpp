#include "controls/ButtonIcons.h"

#include <QPainter>
#include <QPolygon>
#include <algorithm>
#include <functional>

#include "support/Rounding.h"

namespace lumora {
namespace {

using Shape = std::function<void(QPainter&)>;

void Poly(QPainter& p, std::initializer_list<QPoint> points) {
  p.drawPolygon(QPolygon(QList<QPoint>(points)));
}

// The glyphs, drawn in a 18 × 18 cell with the current brush.
const Shape kShapes[] = {
    [](QPainter& p) { p.drawEllipse(QRect(4, 4, 10, 10)); },  // record
    [](QPainter& p) {
      Poly(p, {{5, 3}, {14, 9}, {5, 15}});
    },  // play
    [](QPainter& p) {
      p.drawRect(4, 4, 3, 10);
      p.drawRect(11, 4, 3, 10);
    },                                              // pause
    [](QPainter& p) { p.drawRect(4, 4, 10, 10); },  // stop
    [](QPainter& p) {
      p.drawRect(3, 4, 2, 10);
      Poly(p, {{14, 4}, {7, 9}, {14, 14}});
    },  // previous mark
    [](QPainter& p) {
      p.drawRect(13, 4, 2, 10);
      Poly(p, {{3, 4}, {10, 9}, {3, 14}});
    },  // next mark
    [](QPainter& p) {
      Poly(p, {{9, 2}, {15, 9}, {9, 16}, {3, 9}});
    },  // mark
    [](QPainter& p) {
      Poly(p, {{3, 5}, {5, 3}, {15, 13}, {13, 15}});
      Poly(p, {{13, 3}, {15, 5}, {5, 15}, {3, 13}});
    },
};

const Shape kMoreShapes[] = {
    [](QPainter& p) {
      Poly(p, {{2, 5}, {7, 5}, {8, 7}, {15, 7}, {15, 14}, {2, 14}});
    },  // folder
    [](QPainter& p) {
      Poly(p, {{9, 3}, {15, 10}, {3, 10}});
      p.drawRect(3, 12, 12, 2);
    },  // eject
    [](QPainter& p) {
      p.drawRect(2, 4, 2, 10);
      Poly(p, {{9, 4}, {4, 9}, {9, 14}});
      Poly(p, {{15, 4}, {10, 9}, {15, 14}});
    },
    [](QPainter& p) {
      Poly(p, {{8, 4}, {3, 9}, {8, 14}});
      Poly(p, {{14, 4}, {9, 9}, {14, 14}});
    },  // rewind
    [](QPainter& p) {
      Poly(p, {{4, 4}, {9, 9}, {4, 14}});
      Poly(p, {{10, 4}, {15, 9}, {10, 14}});
    },  // forward
    [](QPainter& p) {
      p.drawRect(3, 5, 10, 2);
      p.drawRect(5, 11, 10, 2);
      Poly(p, {{12, 3}, {15, 6}, {12, 9}});
      Poly(p, {{6, 9}, {3, 12}, {6, 15}});
    },  // loop
    [](QPainter& p) {
      p.drawRect(3, 7, 3, 4);
      Poly(p, {{6, 7}, {10, 3}, {10, 15}, {6, 11}});
      p.drawRect(12, 6, 1, 6);
      p.drawRect(14, 4, 1, 10);
    },  // speaker
    [](QPainter& p) {
      p.drawEllipse(QRect(4, 4, 10, 10));
      p.drawRect(8, 1, 2, 16);
      p.drawRect(1, 8, 16, 2);
    },  // settings
};

struct IconSpec {
  const Shape* shape;
  QRgb color;  // 0 = the tinted dark glyph
};

constexpr QRgb kGlyph = 0xFF383838;

IconSpec Spec(int icon) {
  static const QRgb lit[] = {0xFFE02020, 0xFF10B030, 0xFFE0A000, 0xFF2060E0};
  if (icon < 8) return {&kShapes[icon], icon == 0 ? 0xFF803030 : kGlyph};
  if (icon < 12) return {&kShapes[icon - 8], lit[icon - 8]};
  switch (icon) {
    case 12:
      return {&kMoreShapes[0], kGlyph};
    case 13:
      return {&kMoreShapes[0], 0xFFE0B030};
    case 14:
      return {&kMoreShapes[1], kGlyph};
    case 15:
    case 16:
    case 17:
      return {&kMoreShapes[icon - 13], kGlyph};
    case 18:
    case 19:
    case 20:
      return {&kMoreShapes[icon - 16], 0xFF10B030};
    case 21:
    case 22:
      return {&kMoreShapes[icon - 16], kGlyph};
    case 23:
    case 24:
      return {&kMoreShapes[icon - 18], 0xFF2060E0};
    default:
      return {&kMoreShapes[7], kGlyph};
  }
}

QImage BuildLibrary() {
  QImage library(kIconSize * kIconCount, 2 * kIconSize, QImage::Format_RGB32);
  library.fill(Qt::white);
  QPainter p(&library);
  p.fillRect(0, 0, library.width(), kIconSize, Qt::black);
  p.setPen(Qt::NoPen);
  for (int icon = 0; icon < kIconCount; ++icon) {
    const IconSpec spec = Spec(icon);
    p.save();
    p.translate(icon * kIconSize, 0);
    p.setBrush(QColor(spec.color));
    (*spec.shape)(p);
    p.translate(0, kIconSize);
    p.setBrush(Qt::black);
    (*spec.shape)(p);
    p.restore();
  }
  return library;
}

int Scaled(int channel, double factor) {
  return static_cast<int>(std::clamp<int64_t>(RoundHalfEven(channel * factor), 0, 255));
}

}  // namespace

const QImage& ButtonIconLibrary() {
  static const QImage library = BuildLibrary();
  return library;
}

bool IconKeepsColors(int icon) {
  static constexpr int kKept[] = {8, 9, 10, 11, 13, 18, 19, 20, 23, 24};
  return std::find(std::begin(kKept), std::end(kKept), icon) != std::end(kKept);
}

void TintIcons(QImage& library, QRgb face) {
  const double fr = qRed(face) / 210.0, fg = qGreen(face) / 210.0, fb = qBlue(face) / 210.0;
  for (int y = 0; y < kIconSize; ++y) {
    auto* row = reinterpret_cast<QRgb*>(library.scanLine(y));
    for (int icon = 0; icon < kIconCount; ++icon) {
      if (IconKeepsColors(icon)) continue;
      for (int x = icon * kIconSize; x < (icon + 1) * kIconSize; ++x) {
        const QRgb c = row[x];
        if ((c & 0xFFFFFF) == 0) continue;
        row[x] = qRgb(Scaled(qRed(c), fr), Scaled(qGreen(c), fg), Scaled(qBlue(c), fb));
      }
    }
  }
}

}  // namespace lumora
