#include "app/window/CenteredBox.h"

#include <QAbstractButton>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QWidget>
#include <algorithm>
#include <utility>
#include <vector>

namespace lumora {

namespace {

// Twips kept free at the bottom of the screen.
constexpr int kBottomReserveTwips = 600;

struct ButtonSpec {
  QMessageBox::ButtonRole role;
  const char* text;
  int32_t answer;
};

// The button sets of the low three flag bits, in the order they are shown.
std::vector<ButtonSpec> ButtonsOf(int32_t flags) {
  static const ButtonSpec ok{QMessageBox::AcceptRole, "OK", 1}, cancel{QMessageBox::RejectRole, "キャンセル", 2},
      abort{QMessageBox::RejectRole, "中止(&A)", 3}, retry{QMessageBox::AcceptRole, "再試行(&R)", 4},
      ignore{QMessageBox::AcceptRole, "無視(&I)", 5}, yes{QMessageBox::YesRole, "はい(&Y)", 6},
      no{QMessageBox::NoRole, "いいえ(&N)", 7};
  switch (flags & 7) {
    case 1:
      return {ok, cancel};
    case 2:
      return {abort, retry, ignore};
    case 3:
      return {yes, no, cancel};
    case 4:
      return {yes, no};
    case 5:
      return {retry, cancel};
    default:
      return {ok};
  }
}

QMessageBox::Icon IconOf(int32_t flags) {
  switch (flags & 0x70) {
    case 16:
      return QMessageBox::Critical;
    case 32:
      return QMessageBox::Question;
    case 48:
      return QMessageBox::Warning;
    case 64:
      return QMessageBox::Information;
    default:
      return QMessageBox::NoIcon;
  }
}

void PlaceOverOwner(QMessageBox& box, const QWidget& owner, int32_t tpp) {
  const QScreen* screen = owner.screen();
  if (!screen) return;
  const QRect area = screen->geometry();
  const QRect frame = owner.frameGeometry();
  box.adjustSize();
  const QPoint topLeft = CenteredBoxTopLeft((frame.topLeft() - area.topLeft()) * tpp, frame.size() * tpp,
                                            box.size(), area.size() * tpp, tpp);
  box.move(area.topLeft() + topLeft);
}

}  // namespace

QPoint CenteredBoxTopLeft(QPoint ownerTopLeftTwips, QSize ownerSizeTwips, QSize boxSize, QSize screenTwips,
                          int32_t tpp) {
  const int x = (ownerSizeTwips.width() / 2 + ownerTopLeftTwips.x()) / tpp;
  const int y = (ownerSizeTwips.height() / 2 + ownerTopLeftTwips.y()) / tpp;
  int left = x - boxSize.width() / 2;
  int top = y - boxSize.height() / 2;
  const int bottomLimit = (screenTwips.height() - kBottomReserveTwips) / tpp;
  if (top + boxSize.height() > bottomLimit) top = bottomLimit - boxSize.height();
  const int rightLimit = screenTwips.width() / tpp;
  if (left + boxSize.width() > rightLimit) left = rightLimit - boxSize.width();
  return {std::max(left, 0), std::max(top, 0)};
}

int32_t ShowCenteredMessageBox(QWidget* owner, const std::string& text, int32_t flags, const std::string& caption,
                               int32_t tpp) {
  QMessageBox box(IconOf(flags), QString::fromStdString(caption), QString::fromStdString(text),
                  QMessageBox::NoButton, owner);
  std::vector<std::pair<QAbstractButton*, int32_t>> answers;
  for (const ButtonSpec& spec : ButtonsOf(flags)) {
    answers.emplace_back(box.addButton(QString::fromUtf8(spec.text), spec.role), spec.answer);
  }
  if (owner && !owner->isMinimized() && tpp > 0) PlaceOverOwner(box, *owner, tpp);
  box.exec();
  for (const auto& [button, answer] : answers) {
    if (box.clickedButton() == button) return answer;
  }
  // Closed without a button (Escape, the title bar): the box's cancel answer.
  return (flags & 7) == 4 ? 7 : (flags & 7) == 0 ? 1 : 2;
}

}  // namespace lumora
