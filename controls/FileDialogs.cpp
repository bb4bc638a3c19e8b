#include "controls/FileDialogs.h"

#include <QDir>
#include <QFileDialog>
#include <QStringList>

#include "support/FileSystem.h"

namespace lumora {

namespace {

QString Q(const std::string& text) { return QString::fromStdString(text); }

std::string ShowQtDialog(const DialogRequest& request) {
  if (request.kind == DialogRequest::kFolder) {
    return QFileDialog::getExistingDirectory(request.owner, Q(request.title), Q(request.folder))
        .toStdString();
  }
  QStringList filters;
  for (const auto& [label, pattern] : request.filters) filters << Q(label + " (" + pattern + ")");
  const QString start = QDir(Q(request.folder)).filePath(Q(request.name));
  const QString filter = filters.join(";;");
  const QString chosen = request.kind == DialogRequest::kSave
                             ? QFileDialog::getSaveFileName(request.owner, QString(), start, filter)
                             : QFileDialog::getOpenFileName(request.owner, QString(), start, filter);
  return chosen.toStdString();
}

DialogPresenter& Presenter() {
  static DialogPresenter presenter = ShowQtDialog;
  return presenter;
}

// The folder a dialog opens on: without its trailing "/" (the root stays "/").
std::string StartFolder(const std::string& folder) {
  const std::string trimmed = FolderSlash(folder, 1);
  return trimmed.empty() && !folder.empty() ? folder : trimmed;
}

std::vector<std::pair<std::string, std::string>> SplitFilter(const std::string& filter) {
  std::vector<std::string> parts;
  size_t start = 0;
  for (size_t bar = filter.find('|'); bar != std::string::npos; bar = filter.find('|', start)) {
    parts.push_back(filter.substr(start, bar - start));
    start = bar + 1;
  }
  parts.push_back(filter.substr(start));
  std::vector<std::pair<std::string, std::string>> pairs;
  for (size_t i = 0; i + 1 < parts.size(); i += 2) pairs.emplace_back(parts[i], parts[i + 1]);
  return pairs;
}

}  // namespace

void SetDialogPresenter(DialogPresenter presenter) {
  Presenter() = presenter ? std::move(presenter) : DialogPresenter(ShowQtDialog);
}

std::string BrowseFolder(const std::string& startFolder, const std::string& title, QWidget* owner) {
  DialogRequest request;
  request.kind = DialogRequest::kFolder;
  request.owner = owner;
  request.title = title.empty() ? "フォルダを選択してください" : title;
  request.folder = startFolder.empty() ? QDir::currentPath().toStdString() : StartFolder(startFolder);
  const std::string chosen = Presenter()(request);
  return chosen.empty() ? "" : FolderSlash(chosen, 0);
}

std::string FileDialog(QWidget* owner, int32_t save, const std::string& filter,
                       const std::string& initialFolder, const std::string& initialName) {
  DialogRequest request;
  request.kind = save ? DialogRequest::kSave : DialogRequest::kOpen;
  request.owner = owner;
  request.folder = StartFolder(initialFolder);
  request.name = initialName;
  request.filters = SplitFilter(filter);
  return Presenter()(request);
}

}  // namespace lumora
