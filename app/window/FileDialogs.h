#pragma once
// The folder picker and the open and save file dialogs, over QFileDialog, and
// the finder of a top-level window by the beginning of its title.

#include <cstdint>
#include <string>

class QWidget;

namespace lumora {

// "wavファイル|*.wav" (label|pattern pairs, "|" between all of them) as a Qt
// filter list: "wavファイル (*.wav)", pairs joined by ";;".
std::string QtFilterText(const std::string& filter);

// Opens on startFolder (the current folder when empty); "フォルダを選択してください"
// stands for an empty title. The chosen folder ending in "/", or empty text when
// cancelled.
std::string BrowseFolder(QWidget* owner, const std::string& startFolder, const std::string& title);

// save: a save dialog, else an open dialog, in initialFolder with initialName.
// flags -1: a save dialog asks before overwriting, an open dialog takes existing
// files only; otherwise 2 asks before overwriting and 0x1000 takes existing
// files only. The chosen path, or empty text when cancelled.
std::string FileDialog(QWidget* owner, bool save, const std::string& filter, const std::string& initialFolder,
                       const std::string& initialName, int32_t flags);

// The first top-level window of this program whose title begins with
// titlePrefix (case counts), or nullptr.
QWidget* FindTopWindow(const std::string& titlePrefix);

}  // namespace lumora
