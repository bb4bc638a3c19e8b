#pragma once
// The program's log sent into a temporary folder, and the text written there.

#include <string>

#include "common/TempDir.h"
#include "support/Log.h"

namespace lumora::test {

// Every file in folder whose name ends in extension (".log" or ".err"), joined.
std::string ReadLogFiles(const std::string& folder, const std::string& extension);

// Sends the log into a folder of its own while it lives.
class LogCapture {
 public:
  LogCapture() { ConfigureLog({1, dir_.folder(), "host", "test"}); }
  ~LogCapture() { ConfigureLog(saved_); }
  LogCapture(const LogCapture&) = delete;
  LogCapture& operator=(const LogCapture&) = delete;

  // Every line written to the normal (".log") or error (".err") log.
  std::string Text(const std::string& extension = ".log") const {
    return ReadLogFiles(dir_.folder(), extension);
  }

 private:
  TempDir dir_;
  LogConfig saved_ = CurrentLogConfig();
};

}  // namespace lumora::test
