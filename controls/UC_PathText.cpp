#include "controls/UC_PathText.h"

#include <QMouseEvent>
#include <algorithm>

#include "controls/FileDialogs.h"
#include "controls/FontRegistry.h"
#include "controls/Twips.h"
#include "support/FileSystem.h"

namespace lumora {

namespace {
constexpr int32_t kButtonGap = 2;  // pixels between the text box and the button
}

UC_PathText::UC_PathText(QWidget* parent) : DrawnWidget(parent), TextPath(new QLineEdit(this)) {
  surface_.SetBackColor(SystemColor(kSysButtonFace));
  TextPath->setObjectName("TextPath");
  TextPath->installEventFilter(this);
  connect(TextPath, &QLineEdit::textChanged, this, &UC_PathText::TextChange);
}

void UC_PathText::Init() {
  SetControlFont(this, -2, nullptr, fontSize_, false, false, {});
  TextPath->setGeometry(0, 0, std::max(ButtonRect().left() - kButtonGap, 1), height());
  DrawButton();
}

void UC_PathText::SetEnabled(bool on) {
  setEnabled(on);
  DrawButton();
}

void UC_PathText::SetUsage(int32_t usage) { usage_ = usage; }

void UC_PathText::SetFontSize(float size) {
  fontSize_ = size;
  Init();
}

void UC_PathText::SetTextHeight(float twips) { resize(width(), TwipsToPx(static_cast<int>(twips))); }

void UC_PathText::SetText(const QString& text) { TextPath->setText(text); }

void UC_PathText::SetButtonDisabled(int32_t disabled) {
  buttonDisabled_ = disabled;
  DrawButton();
}

void UC_PathText::SetTextDisabled(int32_t disabled) {
  textDisabled_ = disabled;
  TextPath->setEnabled(disabled == 0);
}

void UC_PathText::SetExt(const QString& ext) { ext_ = ext; }
void UC_PathText::SetFilter(const QString& filter) { filter_ = filter; }
void UC_PathText::SetInitDir(const QString& folder) { initDir_ = folder; }

void UC_PathText::SetTextIMEMode(int16_t mode) {
  TextPath->setAttribute(Qt::WA_InputMethodEnabled, mode != 2 && mode != 3);
}

std::string UC_PathText::AskForPath() const {
  const std::string text = TextPath->text().toStdString();
  const std::string folder = initDir_.isEmpty() ? SplitPath(text, 1, 0, 0, 0, 0, 0) : initDir_.toStdString();
  if (usage_ == kFolderPicker) return BrowseFolder(folder, "", window());
  const std::string ext = ext_.toStdString();
  const std::string filter =
      !filter_.isEmpty() || ext.empty() ? filter_.toStdString() : ext + "ファイル|*." + ext;
  const std::string chosen = FileDialog(window(), usage_ == kSaveDialog, filter, folder, text);
  return ext.empty() ? chosen : AddExtension(chosen, ext);
}

void UC_PathText::SelectButtonClick() {
  if (usage_ != kNoDialog) {
    const std::string chosen = AskForPath();
    if (chosen.empty()) return;
    TextPath->setText(QString::fromStdString(chosen));
  }
  emit SelectButtonClicked();
}

QRect UC_PathText::ButtonRect() const {
  const int32_t side = std::max(height(), QFontMetrics(font()).horizontalAdvance("...") + 8);
  return QRect(width() - side, 0, side, height());
}

void UC_PathText::Press(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || buttonDisabled_ == 1) return;
  if (!ButtonRect().contains(event->position().toPoint())) return;
  pressed_ = true;
  DrawButton();
}

void UC_PathText::mousePressEvent(QMouseEvent* event) { Press(event); }
void UC_PathText::mouseDoubleClickEvent(QMouseEvent* event) { Press(event); }

void UC_PathText::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton || !pressed_) return;
  pressed_ = false;
  DrawButton();
  SelectButtonClick();
}

bool UC_PathText::eventFilter(QObject* watched, QEvent* event) {
  if (watched == TextPath && event->type() == QEvent::MouseButtonDblClick) emit TextDblClicked();
  return QWidget::eventFilter(watched, event);
}

void UC_PathText::resizeEvent(QResizeEvent*) { Init(); }

void UC_PathText::DrawButton() {
  if (SizeChanged()) surface_.Resize(size());
  surface_.Clear();
  const QRect button = ButtonRect();
  const Color light = SystemColor(kSys3DHighlight);
  const Color dark = SystemColor(kSysButtonShadow);
  const int sink = pressed_ ? 1 : 0;
  Canvas canvas(surface_);
  canvas.Line(button.left(), button.top(), button.right(), button.top(), pressed_ ? dark : light);
  canvas.Line(button.left(), button.top(), button.left(), button.bottom(), pressed_ ? dark : light);
  canvas.Line(button.left(), button.bottom(), button.right(), button.bottom(), pressed_ ? light : dark);
  canvas.Line(button.right(), button.top(), button.right(), button.bottom(), pressed_ ? light : dark);
  const QFontMetrics metrics(font());
  const int x = button.left() + (button.width() - metrics.horizontalAdvance("...")) / 2 + sink;
  const int y = button.top() + (button.height() - metrics.height()) / 2 + sink;
  const bool usable = isEnabled() && buttonDisabled_ != 1;
  canvas.Text(x, y, "...", SystemColor(usable ? kSysButtonText : kSysButtonShadow), font());
  Refresh(button);
}

}  // namespace lumora
