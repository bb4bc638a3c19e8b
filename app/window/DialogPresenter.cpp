#include "app/window/DialogPresenter.h"

#include "app/window/CenteredBox.h"
#include "app/window/FileDialogs.h"

namespace lumora {

int32_t QtDialogPresenter::Message(const std::string& text, int32_t flags, const std::string& caption) {
  return ShowCenteredMessageBox(owner_, text, flags, caption, tpp_);
}

std::string QtDialogPresenter::File(bool save, const std::string& filter, const std::string& initialFolder,
                                    const std::string& initialName, int32_t flags) {
  return FileDialog(owner_, save, filter, initialFolder, initialName, flags);
}

std::string QtDialogPresenter::Folder(const std::string& startFolder, const std::string& title) {
  return BrowseFolder(owner_, startFolder, title);
}

}  // namespace lumora
