#pragma once
// What the capture tests share: the log and message boxes caught in a
// temporary folder.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/LogFiles.h"
#include "common/TempDir.h"
#include "platform/WaveError.h"
#include "support/MessageBox.h"

namespace lumora::test {

// Sends the log into a temporary folder and catches the message boxes.
class CaptureTest : public testing::Test {
 protected:
  void SetUp() override {
    SetMessagePresenter([this](const std::string& text, int32_t, const std::string&) {
      messages_.push_back(text);
      return static_cast<int32_t>(kAnswerOk);
    });
  }
  void TearDown() override { SetMessagePresenter(nullptr); }
  // Every line written to the normal (".log") or error (".err") log.
  std::string LogText(const std::string& extension = ".log") const { return log_.Text(extension); }

  TempDir dir_;
  LogCapture log_;
  std::vector<std::string> messages_;
};

}  // namespace lumora::test
