#include "controls/UC_PathText.h"

#include <QMouseEvent>
#include <QPaintEvent>
#include <QPainter>
#include <algorithm>

#include "controls/Drawing.h"
#include "controls/FileDialogs.h"
#include "support/FileSystem.h"

namespace lumora {

namespace {
constexpr int32_t kButtonGap = 2;  // pixels between the text box and the button
}

UC_PathText::UC_PathText(QWidget* parent) : QWidget(parent), TextPath(new QLineEdit(this)) {
  setAttribute(Qt::WA_OpaquePaintEvent);
  TextPath->setObjectName("TextPath");
  TextPath->installEventFilter(this);
  connect(TextPath, &QLineEdit::textChanged, this, &UC_PathText::TextChange);
}

void UC_PathText::Init() {
  setFont(RegistryFont(SetControlFont(-2, fontSize_, false, false, QString())));
  TextPath->setGeometry(0, 0, std::max(ButtonRect().left() - kButtonGap, 1), height());
  DrawButton();
}

void UC_PathText::Enabled(bool on) {
  setEnabled(on);
  DrawButton();
}

void UC_PathText::Usage(int32_t usage) { usage_ = usage; }

void UC_PathText::FontSize(float size) {
  fontSize_ = size;
  Init();
}

void UC_PathText::TextHeight(float twips) { resize(width(), static_cast<int32_t>(twips) / Tpp()); }

void UC_PathText::Text(const QString& text) { TextPath->setText(text); }

void UC_PathText::ButtonDisabled(int32_t disabled) {
  buttonDisabled_ = disabled;
  DrawButton();
}

void UC_PathText::TextDisabled(int32_t disabled) {
  textDisabled_ = disabled;
  TextPath->setEnabled(disabled == 0);
}

void UC_PathText::Ext(const QString& ext) { ext_ = ext; }
void UC_PathText::Filter(const QString& filter) { filter_ = filter; }
void UC_PathText::InitDir(const QString& folder) { initDir_ = folder; }

void UC_PathText::TextIMEMode(int16_t mode) {
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

void UC_PathText::paintEvent(QPaintEvent* event) {
  QPainter painter(this);
  painter.drawImage(event->rect(), surface_, event->rect());
}

void UC_PathText::DrawButton() {
  if (surface_.size() != size()) surface_ = QImage(size(), QImage::Format_RGB32);
  if (surface_.isNull()) return;
  const QRect button = ButtonRect();
  const QColor light = ColorOf(SystemColor(20));
  const QColor dark = ColorOf(SystemColor(16));
  const int32_t sink = pressed_ ? 1 : 0;
  QPainter painter(&surface_);
  painter.fillRect(surface_.rect(), ColorOf(SystemColor(15)));
  painter.setPen(pressed_ ? dark : light);
  painter.drawLine(button.topLeft(), button.topRight());
  painter.drawLine(button.topLeft(), button.bottomLeft());
  painter.setPen(pressed_ ? light : dark);
  painter.drawLine(button.bottomLeft(), button.bottomRight());
  painter.drawLine(button.topRight(), button.bottomRight());
  const bool usable = isEnabled() && buttonDisabled_ != 1;
  painter.setPen(ColorOf(SystemColor(usable ? 18 : 16)));
  painter.setFont(font());
  painter.drawText(button.translated(sink, sink), Qt::AlignCenter, "...");
  update(button);
}

}  // namespace lumora
