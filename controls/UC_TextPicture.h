#pragma once
// UC_TextPicture: a read-out panel of independent text spaces, each with its own
// font and position, on a flat scheme of two colours (DesignType 0) or on a
// bevelled background chosen from a list of colour sets (DesignType 1). Text
// spaces can light up while pressed; presses, releases, double clicks and drops
// are reported. Positions are twips; left −1 centres a text, top −1 centres its line.

#include <QString>
#include <cstdint>
#include <vector>

#include "controls/DrawnWidget.h"

class QMimeData;

namespace lumora {

class UC_TextPicture : public DrawnWidget {
  Q_OBJECT

 public:
  explicit UC_TextPicture(QWidget* parent = nullptr);

  void ResetMe();
  void SetColor(int32_t pType, int32_t pDraw = 0);
  void SetColorEx(Color pForeColor, Color pBackColor, int32_t pDraw = 0);
  void AddStdColorSet(int32_t set);
  void SetDesignType(int32_t design) { designType_ = design; }
  void SetUseClick(int32_t pIndex, int32_t pValue);
  void SetUseDblClick(int32_t value) { useDblClick_ = value; }
  void SetLocked(int32_t value) { locked_ = value != 0; }
  // colour 3 also carries the bevel of the set's background: its low byte is
  // the ring thickness (0 = 2 rings), bit 8 skips the diagonal fill.
  void AddColorSet(Color pFontColor, Color pColor1 = 0, Color pColor2 = 0, Color pColor3 = 0);
  void AddTextSpace(float size, bool bold, bool italic, const QString& face, int32_t left, int32_t top);
  void DispMes(int32_t pIndex = 0, const QString& pStr = {}, int32_t DontDraw = 0);
  QString TextMes(int32_t pIndex) const;
  void SetIsFlat(int32_t value) { isFlat_ = value != 0; }
  // Draws every text space (with one marked pressed, or none).
  void Redraw(int pressed = -1);

  // The text space under a point in twips.
  int HitTest(int x, int y) const;
  // The drawn top of a text space, in twips.
  int32_t TextTop(int32_t pIndex) const { return spaces_.at(static_cast<size_t>(pIndex)).y; }

 signals:
  void MouseUD(int Button, bool IsDown, int pIndex);
  void DblClicked();
  void OLEDragDrop(const QMimeData* Data, int Effect, int Button, int Shift, int X, int Y);

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  struct TextSpace {
    int font = 0;                 // registry index
    int32_t left = -1, top = -1;  // as given
    int32_t y = 0;                // drawn top
    QString text;
    bool useClick = false;
  };
  struct ColorSet {
    Color font, c1, c2, c3;
  };

  void BuildTiles();
  void Press(QPoint at, Qt::MouseButton button);

  std::vector<TextSpace> spaces_;
  std::vector<ColorSet> sets_;
  std::vector<Surface> tiles_;  // one background per colour set, at the panel's size
  int32_t designType_ = 0;
  int currentSet_ = 0;
  Color back_ = 0x000000;
  Color fore_ = SystemColor(kSysButtonFace);
  bool locked_ = false;
  int32_t useDblClick_ = 0;
  bool isFlat_ = false;
  bool pressing_ = false;
};

}  // namespace lumora
