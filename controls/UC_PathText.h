#pragma once
// UC_PathText: a text box for a file or folder path with a small "..." button
// beside it. The button opens the folder picker or the open/save file dialog
// (controls/FileDialogs.h), starting in a sensible folder, and writes the
// choice into the text box.

#include <QImage>
#include <QLineEdit>
#include <QString>
#include <QWidget>
#include <cstdint>

namespace lumora {

class UC_PathText : public QWidget {
  Q_OBJECT

 public:
  enum Usages : int32_t { kNoDialog = -1, kFolderPicker = 0, kOpenDialog = 1, kSaveDialog = 2 };

  explicit UC_PathText(QWidget* parent = nullptr);

  void Init();  // lays out the text box and the button and sets their font
  bool Enabled() const { return isEnabled(); }
  void Enabled(bool on);
  int32_t Usage() const { return usage_; }
  void Usage(int32_t usage);
  void FontSize(float size);
  void TextHeight(float twips);  // the height of the text box
  QString Text() const { return TextPath->text(); }
  void Text(const QString& text);
  int32_t ButtonDisabled() const { return buttonDisabled_; }
  void ButtonDisabled(int32_t disabled);
  int32_t TextDisabled() const { return textDisabled_; }
  void TextDisabled(int32_t disabled);
  QString Ext() const { return ext_; }
  void Ext(const QString& ext);  // without the dot
  QString Filter() const { return filter_; }
  void Filter(const QString& filter);  // "label|pattern|..."
  QString InitDir() const { return initDir_; }
  void InitDir(const QString& folder);
  void TextIMEMode(int16_t mode);  // 2 (off) and 3 (disabled) keep input methods away
  void SelectButtonClick();        // acts as a click on the button

 signals:
  void SelectButtonClicked();
  void TextDblClicked();
  void TextChange();

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  QRect ButtonRect() const;
  std::string AskForPath() const;
  void Press(QMouseEvent* event);
  void DrawButton();

  QLineEdit* TextPath;
  int32_t usage_ = kFolderPicker;
  int32_t buttonDisabled_ = 0;
  int32_t textDisabled_ = 0;
  QString ext_;
  QString filter_;
  QString initDir_;
  float fontSize_ = 9;
  bool pressed_ = false;
  QImage surface_;
};

}  // namespace lumora
