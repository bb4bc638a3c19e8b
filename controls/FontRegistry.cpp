#include "controls/FontRegistry.h"

#include <QFontInfo>
#include <QFontMetricsF>
#include <QWidget>
#include <algorithm>

#include "controls/Surface.h"
#include "controls/Twips.h"
#include "support/Rounding.h"

namespace lumora {
namespace {

constexpr int kFailed = -3;
constexpr float kMeiryoScale = 1.34f;

std::vector<FontEntry> registry;
QString defaultFace;

// The face field of a font request holds 31 bytes of the user's code page, where
// a Japanese character takes two.
QString CutFaceName(const QString& face) {
  int bytes = 0;
  int length = 0;
  for (const QChar c : face) {
    bytes += c.unicode() < 0x80 ? 1 : 2;
    if (bytes > 31) break;
    ++length;
  }
  return face.left(length);
}

// A Windows font request names the cell height (ascent + descent); Qt sizes the
// em square. Scale by the face's own proportions so that every face gets the
// cell it asked for.
int EmPixelsForCell(const QFont& face, int cellHeight) {
  QFont probe(face);
  probe.setPixelSize(100);
  const qreal cell = QFontMetricsF(probe).ascent() + QFontMetricsF(probe).descent();
  return std::max(1, static_cast<int>(RoundHalfEven(cellHeight * 100.0 / std::max<qreal>(cell, 1.0))));
}

void Apply(const FontTarget& target, const QFont& font) {
  if (target.widget != nullptr) target.widget->setFont(font);
  if (target.surface != nullptr) target.surface->SetFont(font);
}

int FindEntry(const QString& face, float size, bool bold, bool italic) {
  for (size_t i = 0; i < registry.size(); ++i) {
    const FontEntry& e = registry[i];
    if (e.faceName == face && e.pointSize == size && e.bold == bold && e.italic == italic)
      return static_cast<int>(i);
  }
  return -1;
}

}  // namespace

void InstallFaceSubstitutions() {
  static bool done = false;
  if (done) return;
  done = true;
  QFont::insertSubstitutions(kFaceGothic, {"IPAPGothic", "IPA Pゴシック", "Noto Sans CJK JP"});
  QFont::insertSubstitutions(kFaceMeiryo, {"Noto Sans CJK JP", "IPAPGothic"});
}

void SetAltFont(int altFont) { defaultFace = altFont == 1 ? kFaceMeiryo : kFaceGothic; }

QString DefaultFaceName() {
  if (defaultFace.isEmpty()) defaultFace = kFaceGothic;
  return defaultFace;
}

int CreateFontEntry(float pointSize, bool bold, bool italic, const QString& faceName) {
  InstallFaceSubstitutions();
  FontEntry e;
  e.pointSize = pointSize;
  e.bold = bold;
  e.italic = italic;
  e.faceName = faceName;
  const bool meiryo = faceName == kFaceMeiryo;
  e.inverseSize = meiryo ? 1.0f / kMeiryoScale : 1.0f;
  e.cellHeight = static_cast<int>(RoundHalfEven(pointSize * 20.0 * (meiryo ? kMeiryoScale : 1.0f) / Tpp()));
  e.weight = bold ? static_cast<int>(RoundHalfEven(15.0 / Tpp() * 700)) : 0;
  e.charSet = faceName == QStringLiteral("Impact") ? 0 : 128;
  if (e.cellHeight <= 0) return 0;

  QFont font(CutFaceName(faceName));
  font.setStyleStrategy(QFont::NoAntialias);
  font.setItalic(italic);
  if (bold) font.setWeight(static_cast<QFont::Weight>(std::clamp(e.weight, 1, 1000)));
  font.setPixelSize(EmPixelsForCell(font, e.cellHeight));
  e.font = font;
  registry.push_back(e);
  return 1;
}

int SetControlFont(FontTarget window, int index, QWidget* control, float pointSize, bool bold, bool italic,
                   const QString& faceName) {
  if (index < -2) return kFailed;
  if (registry.empty() && CreateFontEntry(9, false, false, DefaultFaceName()) == 0) return kFailed;
  QString face = faceName;
  if (index == -1) {
    if (control == nullptr) return kFailed;
    const QFont f = control->font();
    const auto shared =
        std::find_if(registry.begin(), registry.end(), [&](const FontEntry& e) { return e.font == f; });
    pointSize =
        shared != registry.end() ? shared->pointSize : static_cast<float>(std::max<qreal>(f.pointSizeF(), 0));
    bold = f.bold();
    italic = f.italic();
    face = shared != registry.end() ? shared->faceName : f.family();
    window = FontTarget(control);
  }
  if (face.isEmpty()) face = DefaultFaceName();
  if (pointSize <= 0) pointSize = 9;
  if (index < 0) {
    index = FindEntry(face, pointSize, bold, italic);
    if (index < 0) {
      if (CreateFontEntry(pointSize, bold, italic, face) == 0) return kFailed;
      index = static_cast<int>(registry.size()) - 1;
    }
  }
  if (index >= static_cast<int>(registry.size())) return kFailed;
  if (window.widget == nullptr && window.surface == nullptr) return kFailed;
  Apply(window, registry[index].font);
  return index;
}

void ReleaseFonts() { registry.clear(); }

int FontCount() { return static_cast<int>(registry.size()); }

const FontEntry& FontAt(int index) { return registry.at(static_cast<size_t>(index)); }

QFont SharedFont(float pointSize, bool bold, bool italic, const QString& faceName) {
  Surface scratch;
  const int index = SetControlFont(&scratch, -2, nullptr, pointSize, bold, italic, faceName);
  return index >= 0 ? FontAt(index).font : QFont();
}

}  // namespace lumora
