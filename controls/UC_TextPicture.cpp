#include "controls/UC_TextPicture.h"

#include <QDropEvent>
#include <QFontMetrics>
#include <QMimeData>
#include <QMouseEvent>

#include "controls/FontRegistry.h"
#include "controls/Layout.h"
#include "controls/MouseCodes.h"
#include "controls/PaintFace.h"
#include "controls/Twips.h"
#include "support/Rounding.h"

namespace lumora {
namespace {

struct Scheme {
  Color back, text;
};
constexpr Scheme kSchemes[] = {{0x000000, SystemColor(kSysButtonFace)},
                               {0xD5FFF1, 0x407060},
                               {0xA6CAC5, 0x406057},
                               {0x0000FF, 0xFFFFFF},
                               {0xB0B0D0, 0x101060},
                               {0x707090, 0x202060},
                               {0x303030, 0xD0D0D0}};

constexpr Color kStdSets[][4] = {{0x909090, 0, 0x686868, 0}, {0xD0B0B0, 0, 0x886868, 0},
                                 {0xB0B0D0, 0, 0x686888, 0}, {0xB0D0B0, 0, 0x688868, 0},
                                 {0xE0E0E0, 0, 0x686868, 0}, {0x90B0E0, 0, 0x4878A8, 0}};

}  // namespace

UC_TextPicture::UC_TextPicture(QWidget* parent) : DrawnWidget(parent) { setAcceptDrops(true); }

void UC_TextPicture::ResetMe() {
  spaces_.clear();
  sets_.clear();
  tiles_.clear();
  currentSet_ = 0;
}

void UC_TextPicture::SetColor(int32_t pType, int32_t pDraw) {
  if (designType_ == 0 && pType >= 0 && pType < static_cast<int32_t>(std::size(kSchemes))) {
    back_ = kSchemes[pType].back;
    fore_ = kSchemes[pType].text;
  } else if (designType_ == 1 && pType >= 0 && pType < static_cast<int32_t>(sets_.size())) {
    currentSet_ = pType;
  }
  if (pDraw != 0) Redraw();
}

void UC_TextPicture::SetColorEx(Color pForeColor, Color pBackColor, int32_t pDraw) {
  fore_ = pForeColor;
  back_ = pBackColor;
  if (pDraw != 0) Redraw();
}

void UC_TextPicture::AddStdColorSet(int32_t set) {
  if (set < 0 || set >= static_cast<int32_t>(std::size(kStdSets))) return;
  const Color* s = kStdSets[set];
  AddColorSet(s[0], s[1], s[2], s[3]);
}

void UC_TextPicture::AddColorSet(Color pFontColor, Color pColor1, Color pColor2, Color pColor3) {
  designType_ = 1;
  sets_.push_back({pFontColor, pColor1, pColor2, pColor3});
  tiles_.clear();
}

void UC_TextPicture::BuildTiles() {
  tiles_.clear();
  for (const ColorSet& set : sets_) {
    Surface& tile = tiles_.emplace_back(size());
    const int rings = static_cast<int>(set.c3 & 0xFF);
    BevelBorder(tile, set.c1, set.c2, (set.c3 & 0x100) != 0, rings == 0 ? 2 : rings);
  }
}

void UC_TextPicture::resizeEvent(QResizeEvent*) {
  if (!SizeChanged()) return;
  surface_.Resize(size());
  tiles_.clear();
  Redraw();
}

void UC_TextPicture::SetUseClick(int32_t pIndex, int32_t pValue) {
  if (pIndex >= 0 && pIndex < static_cast<int32_t>(spaces_.size())) spaces_[pIndex].useClick = pValue != 0;
}

void UC_TextPicture::AddTextSpace(float size, bool bold, bool italic, const QString& face, int32_t left,
                                  int32_t top) {
  TextSpace space;
  space.font = std::max(0, SetControlFont(&surface_, -2, nullptr, size, bold, italic, face));
  space.left = left;
  space.top = top;
  const FontEntry& font = FontAt(space.font);
  const int h = PxToTwips(QFontMetrics(font.font).height());
  if (top != -1) {
    space.y = static_cast<int32_t>(RoundHalfEven(top - (1 - font.inverseSize) * h / 2.0 + Tpp()));
  } else {
    const bool meiryo = (face.isEmpty() ? DefaultFaceName() : face) == kFaceMeiryo;
    space.y = std::max(0, (PxToTwips(height()) - h) / 2 + (meiryo ? Tpp() : 0));
  }
  spaces_.push_back(space);
}

void UC_TextPicture::DispMes(int32_t pIndex, const QString& pStr, int32_t DontDraw) {
  if (pIndex < 0 || pIndex >= static_cast<int32_t>(spaces_.size()) || spaces_[pIndex].text == pStr) return;
  spaces_[pIndex].text = pStr;
  if (DontDraw == 0) Redraw();
}

QString UC_TextPicture::TextMes(int32_t pIndex) const {
  return pIndex >= 0 && pIndex < static_cast<int32_t>(spaces_.size()) ? spaces_[pIndex].text : QString();
}

void UC_TextPicture::Redraw(int pressed) {
  if (surface_.Size() != size()) surface_.Resize(size());
  Color textColor = fore_;
  const bool shaded = designType_ == 1 && !sets_.empty();
  if (shaded) {
    if (tiles_.size() != sets_.size()) BuildTiles();
    const int set = std::clamp(currentSet_, 0, static_cast<int>(sets_.size()) - 1);
    surface_.Image() = tiles_[set].Image().copy();
    textColor = sets_[set].font;
  } else {
    surface_.SetBackColor(back_);
  }
  const int margin = PxToTwips(isFlat_ && designType_ == 0 ? 2 : 4);
  const int panelWidth = PxToTwips(width());
  for (size_t i = 0; i < spaces_.size(); ++i) {
    const TextSpace& s = spaces_[i];
    surface_.SetFont(FontAt(s.font).font);
    const int x = s.left == -1 ? std::max(margin, (panelWidth - surface_.TextWidth(s.text)) / 2) : s.left;
    Color color = textColor;
    if (static_cast<int>(i) == pressed)
      color = ResolveColor(textColor) == 0 ? 0xFFFFFF : AdjustColor(ResolveColor(textColor), 30, 30, 30, -1);
    const QString shown = FitText(s.text, surface_, panelWidth - x - margin, false);
    Canvas(surface_).Text(TwipsToPx(x), TwipsToPx(s.y), shown, color, surface_.Font());
  }
  if (designType_ == 0 && !isFlat_) EdgeBox(surface_, 0, 0, panelWidth, PxToTwips(height()), true);
  Refresh();
}

int UC_TextPicture::HitTest(int x, int y) const {
  int answer = 0;
  int bestLeft = 0, bestTop = 0;
  for (size_t i = 0; i < spaces_.size(); ++i) {
    const TextSpace& s = spaces_[i];
    const bool qualifies = (s.left == -1 || s.left <= x) && (s.top == -1 || s.top <= y);
    if (qualifies && s.top >= bestTop && s.left >= bestLeft) {
      answer = static_cast<int>(i);
      bestLeft = s.left;
      bestTop = s.top;
    }
  }
  return answer;
}

void UC_TextPicture::Press(QPoint at, Qt::MouseButton button) {
  const int i = HitTest(PxToTwips(at.x()), PxToTwips(at.y()));
  if (i < static_cast<int>(spaces_.size()) && spaces_[i].useClick) Redraw(i);
  pressing_ = true;
  emit MouseUD(ButtonNumber(button), true, i);
}

void UC_TextPicture::mousePressEvent(QMouseEvent* event) {
  if (!locked_) Press(event->position().toPoint(), event->button());
}

void UC_TextPicture::mouseReleaseEvent(QMouseEvent* event) {
  if (locked_ || !pressing_) return;
  const QPoint at = event->position().toPoint();
  const int i = HitTest(PxToTwips(at.x()), PxToTwips(at.y()));
  if (i < static_cast<int>(spaces_.size()) && spaces_[i].useClick) Redraw();
  pressing_ = false;
  emit MouseUD(ButtonNumber(event->button()), false, i);
}

void UC_TextPicture::mouseDoubleClickEvent(QMouseEvent* event) {
  if (locked_ || useDblClick_ != 0) return;
  Press(event->position().toPoint(), Qt::LeftButton);
  emit DblClicked();
}

void UC_TextPicture::dragEnterEvent(QDragEnterEvent* event) {
  if (!locked_) event->acceptProposedAction();
}

void UC_TextPicture::dropEvent(QDropEvent* event) {
  if (locked_) return;
  const QPoint at = event->position().toPoint();
  event->acceptProposedAction();
  emit OLEDragDrop(event->mimeData(), static_cast<int>(event->dropAction()),
                   static_cast<int>(event->buttons()), ShiftMask(event->modifiers()), PxToTwips(at.x()),
                   PxToTwips(at.y()));
}

}  // namespace lumora
