#pragma once
// What the capture tests share: the log and message boxes caught in a
// temporary folder, and a backend that only has names.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "common/LogFiles.h"
#include "common/TempDir.h"
#include "platform/WaveDevice.h"
#include "platform/WaveError.h"
#include "support/Log.h"
#include "support/MessageBox.h"

namespace lumora::test {

struct ShownMessage {
  std::string text;
  int32_t style = 0;
  std::string title;
};

// Sends the log into a temporary folder and catches the message boxes.
class CaptureTest : public testing::Test {
 protected:
  void SetUp() override {
    ConfigureLog(LogConfig{1, dir_.folder(), "host", "test"});
    SetMessagePresenter([this](const std::string& text, int32_t style, const std::string& title) {
      messages_.push_back({text, style, title});
      return static_cast<int32_t>(kAnswerOk);
    });
  }
  void TearDown() override { SetMessagePresenter(nullptr); }
  // Every line written to the normal (".log") or error (".err") log.
  std::string LogText(const std::string& extension = ".log") const {
    return ReadLogFiles(dir_.folder(), extension);
  }

  TempDir dir_;
  std::vector<ShownMessage> messages_;
};

// A backend with device names only; it counts how often it was asked.
class NamesOnly final : public WaveBackend {
 public:
  NamesOnly(std::vector<std::string> inputs, std::vector<std::string> outputs)
      : inputs_(std::move(inputs)), outputs_(std::move(outputs)) {}
  std::vector<std::string> DeviceNames(WaveDirection direction) override {
    ++listings;
    return direction == WaveDirection::kInput ? inputs_ : outputs_;
  }
  int32_t Open(WaveDirection, int32_t, const WaveFormat&, std::unique_ptr<WaveDevice>&) override {
    return kWaveNotSupported;
  }
  int listings = 0;

 private:
  std::vector<std::string> inputs_;
  std::vector<std::string> outputs_;
};

}  // namespace lumora::test
