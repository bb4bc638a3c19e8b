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

// Sends the log into a temporary folder and catches the message boxes.
class CaptureTest : public testing::Test {
 protected:
  void SetUp() override {
    ConfigureLog(LogConfig{1, dir_.folder(), "host", "test"});
    SetMessagePresenter([this](const std::string& text, int32_t, const std::string&) {
      messages_.push_back(text);
      return static_cast<int32_t>(kAnswerOk);
    });
  }
  void TearDown() override { SetMessagePresenter(nullptr); }
  // Every line written to the normal (".log") or error (".err") log.
  std::string LogText(const std::string& extension = ".log") const {
    return ReadLogFiles(dir_.folder(), extension);
  }

  TempDir dir_;
  std::vector<std::string> messages_;
};

// A backend with device names only.
class NamesOnly final : public WaveBackend {
 public:
  NamesOnly(std::vector<std::string> inputs, std::vector<std::string> outputs)
      : inputs_(std::move(inputs)), outputs_(std::move(outputs)) {}
  std::vector<std::string> DeviceNames(WaveDirection direction) override {
    return direction == WaveDirection::kInput ? inputs_ : outputs_;
  }
  int32_t Open(WaveDirection, int32_t, const WaveFormat&, std::unique_ptr<WaveDevice>&) override {
    return kWaveNotSupported;
  }

 private:
  std::vector<std::string> inputs_;
  std::vector<std::string> outputs_;
};

}  // namespace lumora::test
