#pragma once
// What the simulated output plays, written to a WAV file as it is played: the
// bytes are staged and appended in large blocks, the header repaired after
// each, so the file is complete even when the run is cut short.

#include <atomic>
#include <cstdint>
#include <string>

#include "recording/DiskWriter.h"
#include "support/SampleFormat.h"

namespace lumora::play {

class PlayOutputFile {
 public:
  // Creates the file (replacing one of that name) with an empty data chunk.
  // Nothing is taken before it.
  bool Open(const std::string& path, const SampleFormat& format);
  // Appends played bytes; after a refused write nothing more is taken.
  void Append(const uint8_t* bytes, int64_t count);
  // Writes what is staged; false when any write failed.
  bool Close();
  bool Failed() const { return failed_; }

 private:
  TakeCounters counters_;
  DiskWriter writer_{counters_};
  std::string path_;
  std::atomic<bool> failed_{false};  // set on the thread that plays, read by the run
};

}  // namespace lumora::play
