#pragma once
// Messages to the user. The core never shows a window itself: it calls
// CenteredMessageBox, which hands the text to the presenter the front end
// installed (the window: a centred QMessageBox; lumora-rec: stderr). Without a
// presenter the text goes to stderr and the default button is the answer.

#include <cstdint>
#include <functional>
#include <string>

namespace lumora {

// Button and icon flags as the message boxes use them.
enum MessageStyle : int32_t {
  kOkOnly = 0,
  kOkCancel = 1,
  kYesNo = 4,
  kCritical = 16,
  kQuestion = 32,
  kExclamation = 48,
  kInformation = 64,
};
// Answers.
enum MessageAnswer : int32_t { kAnswerOk = 1, kAnswerCancel = 2, kAnswerYes = 6, kAnswerNo = 7 };

using MessagePresenter =
    std::function<int32_t(const std::string& text, int32_t style, const std::string& title)>;

void SetMessagePresenter(MessagePresenter presenter);
int32_t CenteredMessageBox(const std::string& text, int32_t style = kOkOnly,
                           const std::string& title = "lumora");

}  // namespace lumora
