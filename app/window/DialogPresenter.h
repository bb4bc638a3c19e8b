#pragma once
// Everything modal the window shows: message boxes and the file and folder
// dialogs. The window asks through this interface, so tests answer in place of
// a person.

#include <cstdint>
#include <string>

class QWidget;

namespace lumora {

class DialogPresenter {
 public:
  virtual ~DialogPresenter() = default;
  // A centred message box; returns the answer's code (1 OK, 6 Yes, 7 No, ...).
  virtual int32_t Message(const std::string& text, int32_t flags, const std::string& caption) = 0;
  // FileDialogs.h: FileDialog and BrowseFolder.
  virtual std::string File(bool save, const std::string& filter, const std::string& initialFolder,
                           const std::string& initialName, int32_t flags) = 0;
  virtual std::string Folder(const std::string& startFolder, const std::string& title) = 0;
};

// The real boxes and dialogs, over owner.
class QtDialogPresenter final : public DialogPresenter {
 public:
  QtDialogPresenter(QWidget* owner, int32_t tpp) : owner_(owner), tpp_(tpp) {}
  int32_t Message(const std::string& text, int32_t flags, const std::string& caption) override;
  std::string File(bool save, const std::string& filter, const std::string& initialFolder,
                   const std::string& initialName, int32_t flags) override;
  std::string Folder(const std::string& startFolder, const std::string& title) override;

 private:
  QWidget* owner_;
  int32_t tpp_;
};

}  // namespace lumora
