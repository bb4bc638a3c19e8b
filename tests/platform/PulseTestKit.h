#pragma once
// For tests against the private sound server of scripts/with-pulse.sh: each
// test loads a null sink of its own, so tests running side by side never hear
// each other.

#include <unistd.h>

#include <atomic>
#include <cstdlib>
#include <string>

#include "common/ProgramRun.h"

namespace lumora::test {

inline bool PulseServerUp() { return std::getenv("LUMORA_TEST_PULSE") != nullptr; }

// A null sink at 48000 Hz stereo (norewinds=1, or its monitor loses audio),
// named "lumora_<pid>_<n>" and described so unless told; unloaded again at the end.
class PrivateSink {
 public:
  explicit PrivateSink(std::string description = {}) {
    static std::atomic<int> counter{0};
    name_ = "lumora_" + std::to_string(getpid()) + "_" + std::to_string(counter++);
    description_ = description.empty() ? name_ : description;
    module_ = CommandOutput("pactl load-module module-null-sink sink_name=" + name_ +
                            " rate=48000 channels=2 norewinds=1 sink_properties=device.description=" +
                            description_ + " 2>/dev/null");
  }
  ~PrivateSink() {
    if (!module_.empty()) CommandOutput("pactl unload-module " + module_ + " 2>/dev/null");
  }
  PrivateSink(const PrivateSink&) = delete;
  PrivateSink& operator=(const PrivateSink&) = delete;

  bool loaded() const { return !module_.empty(); }
  const std::string& SinkName() const { return name_; }
  std::string MonitorName() const { return "Monitor of " + description_; }

 private:
  std::string name_;
  std::string description_;
  std::string module_;
};

}  // namespace lumora::test
