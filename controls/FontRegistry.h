#pragma once
// The program-wide registry of shared fonts: one entry per distinct face, size,
// bold and italic, created once, shared by every control that uses it, and
// released together at shutdown. Controls never own a font.
//
// The two interface faces keep their Windows names; they are mapped onto the
// installed Japanese faces by font substitution (IPA P Gothic, Noto Sans CJK).

#include <QFont>
#include <QString>
#include <vector>

class QWidget;

namespace lumora {

class Surface;

inline const QString kFaceGothic = QStringLiteral("ＭＳ Ｐゴシック");
inline const QString kFaceMeiryo = QStringLiteral("メイリオ");

struct FontEntry {
  QFont font;
  float pointSize = 9;
  bool bold = false;
  bool italic = false;
  QString faceName;
  float inverseSize = 1.0f;  // 1/1.34 for "メイリオ", whose cell is drawn 1.34 times taller
  // What the font was requested with: cell height in pixels, weight, character set.
  int cellHeight = 0;
  int weight = 0;
  int charSet = 128;
};

// Where SetControlFont applies the font: a widget, a drawing surface, or nothing.
struct FontTarget {
  FontTarget() = default;
  FontTarget(QWidget* w) : widget(w) {}
  FontTarget(Surface* s) : surface(s) {}
  QWidget* widget = nullptr;
  Surface* surface = nullptr;
};

// Maps the interface faces onto installed faces; runs once, on first use of the registry.
void InstallFaceSubstitutions();

// The default face: "メイリオ" with AltFont 1, else "ＭＳ Ｐゴシック". Set at start-up.
void SetAltFont(int altFont);
QString DefaultFaceName();

// Appends an entry; 1 on success, 0 when the face cannot be created.
int CreateFontEntry(float pointSize, bool bold, bool italic, const QString& faceName);
// Finds or creates the font and applies it to the target. index −1 takes the
// size, style and face from control's font (and applies to control); −2 uses the
// arguments; a valid index applies that entry. Returns the index, or −3.
int SetControlFont(FontTarget window, int index, QWidget* control, float pointSize, bool bold, bool italic,
                   const QString& faceName);
void ReleaseFonts();

int FontCount();
const FontEntry& FontAt(int index);  // index must be valid
// The registry's font for these arguments (created on first use), the default face for an empty name.
QFont SharedFont(float pointSize, bool bold = false, bool italic = false, const QString& faceName = {});

}  // namespace lumora
