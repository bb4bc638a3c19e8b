#include "support/MessageBox.h"

#include <cstdio>
#include <utility>

namespace lumora {

namespace {
MessagePresenter& Presenter() {
  static MessagePresenter presenter;
  return presenter;
}
}  // namespace

void SetMessagePresenter(MessagePresenter presenter) { Presenter() = std::move(presenter); }

int32_t CenteredMessageBox(const std::string& text, int32_t style, const std::string& title) {
  if (Presenter()) return Presenter()(text, style, title);
  std::fprintf(stderr, "%s: %s\n", title.c_str(), text.c_str());
  return (style & 7) == kYesNo ? kAnswerYes : kAnswerOk;
}

}  // namespace lumora
