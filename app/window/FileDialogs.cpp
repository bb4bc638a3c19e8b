#include "app/window/FileDialogs.h"

#include <QApplication>
#include <QDir>
#include <QFileDialog>
#include <QStringList>
#include <QWidget>

#include "support/EventPump.h"
#include "support/FileSystem.h"

namespace lumora {

namespace {

constexpr int32_t kAskOverwrite = 0x2;
constexpr int32_t kFileMustExist = 0x1000;

QString Text(const std::string& text) { return QString::fromStdString(text); }

}  // namespace

std::string QtFilterText(const std::string& filter) {
  const QStringList parts = Text(filter).split('|');
  QStringList entries;
  for (qsizetype i = 0; i + 1 < parts.size(); i += 2) entries << parts[i] + " (" + parts[i + 1] + ")";
  return entries.join(";;").toStdString();
}

std::string BrowseFolder(QWidget* owner, const std::string& startFolder, const std::string& title) {
  const std::string start = startFolder.empty() ? QDir::currentPath().toStdString() : FolderSlash(startFolder, 1);
  const std::string caption = title.empty() ? "フォルダを選択してください" : title;
  const QString chosen = QFileDialog::getExistingDirectory(owner, Text(caption), Text(start));
  DoEvents();
  return chosen.isEmpty() ? std::string() : FolderSlash(chosen.toStdString(), 0);
}

std::string FileDialog(QWidget* owner, bool save, const std::string& filter, const std::string& initialFolder,
                       const std::string& initialName, int32_t flags) {
  QFileDialog dialog(owner);
  dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
  const bool mustExist = flags == -1 ? !save : (flags & kFileMustExist) != 0;
  const bool askOverwrite = flags == -1 ? save : (flags & kAskOverwrite) != 0;
  dialog.setFileMode(mustExist ? QFileDialog::ExistingFile : QFileDialog::AnyFile);
  dialog.setOption(QFileDialog::DontConfirmOverwrite, !askOverwrite);
  dialog.setNameFilter(Text(QtFilterText(filter)));
  if (!initialFolder.empty()) dialog.setDirectory(Text(FolderSlash(initialFolder, 1)));
  dialog.selectFile(Text(initialName));
  const bool chosen = dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty();
  // The area under the closed dialog repaints before the caller goes on.
  DoEvents();
  DoEvents();
  return chosen ? dialog.selectedFiles().constFirst().toStdString() : std::string();
}

QWidget* FindTopWindow(const std::string& titlePrefix) {
  const QString prefix = Text(titlePrefix);
  for (QWidget* window : QApplication::topLevelWidgets()) {
    if (!window->parentWidget() && window->windowTitle().startsWith(prefix, Qt::CaseSensitive)) return window;
  }
  return nullptr;
}

}  // namespace lumora
