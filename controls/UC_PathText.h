#pragma once
// UC_PathText: a text box for a file or folder path with a small "..." button
// beside it. The button opens the folder picker or the open/save file dialog
// (controls/FileDialogs.h), starting in a sensible folder, and writes the
// choice into the text box.

#include <QLineEdit>
#include <QString>
#include <cstdint>
#include <string>

#include "controls/DrawnWidget.h"

namespace lumora {

class UC_PathText : public DrawnWidget {
  Q_OBJECT

 public:
  enum Usages : int32_t { kNoDialog = -1, kFolderPicker = 0, kOpenDialog = 1, kSaveDialog = 2 };

  explicit UC_PathText(QWidget* parent = nullptr);

  void Init();  // lays out the text box and the button and sets their font
  void SetEnabled(bool on);
  int32_t Usage() const { return usage_; }
  void SetUsage(int32_t usage);
  void SetFontSize(float size);
  void SetTextHeight(float twips);  // the height of the text box
  QString Text() const { return TextPath->text(); }
  void SetText(const QString& text);
  int32_t ButtonDisabled() const { return buttonDisabled_; }
  void SetButtonDisabled(int32_t disabled);
  int32_t TextDisabled() const { return textDisabled_; }
  void SetTextDisabled(int32_t disabled);
  QString Ext() const { return ext_; }
  void SetExt(const QString& ext);  // without the dot
  QString Filter() const { return filter_; }
  void SetFilter(const QString& filter);  // "label|pattern|..."
  QString InitDir() const { return initDir_; }
  void SetInitDir(const QString& folder);
  void SetTextIMEMode(int16_t mode);  // 2 (off) and 3 (disabled) keep input methods away
  void SelectButtonClick();           // acts as a click on the button

 signals:
  void SelectButtonClicked();
  void TextDblClicked();
  void TextChange();

 protected:
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
};

}  // namespace lumora
