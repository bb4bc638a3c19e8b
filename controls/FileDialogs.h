#pragma once
// The folder picker and the open/save file dialogs. Each call works out what
// to ask (start folder, title, filter) and hands the request to the presenter:
// QFileDialog unless a front end or a test installed another one.

#include <QWidget>
#include <cstdint>
#include <functional>
#include <string>
#include <utility>
#include <vector>

namespace lumora {

struct DialogRequest {
  enum Kind { kFolder, kOpen, kSave };
  Kind kind = kFolder;
  QWidget* owner = nullptr;
  std::string title;                                         // folder picker only
  std::string folder;                                        // start folder, without a trailing "/"
  std::string name;                                          // initial file name (file dialogs)
  std::vector<std::pair<std::string, std::string>> filters;  // (label, pattern), the first pre-selected
};

// Returns the chosen path, or empty text when the user cancels.
using DialogPresenter = std::function<std::string(const DialogRequest&)>;
// An empty presenter restores the QFileDialog one.
void SetDialogPresenter(DialogPresenter presenter);

// The chosen folder with one trailing "/", or empty text on cancel. An empty
// startFolder opens the current folder; an empty title gets the default one.
std::string BrowseFolder(const std::string& startFolder, const std::string& title, QWidget* owner);
// filter: labels and patterns joined by "|" ("wavファイル|*.wav"). The chosen
// full path, or empty text on cancel. Save dialogs ask before overwriting; open
// dialogs take only existing files.
std::string FileDialog(QWidget* owner, int32_t save, const std::string& filter,
                       const std::string& initialFolder, const std::string& initialName);

}  // namespace lumora
