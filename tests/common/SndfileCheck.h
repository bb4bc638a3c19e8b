#pragma once
// An independent reading of a WAV file through libsndfile: what a player would
// see. `strict` is false when libsndfile's log complains about a size field
// ("should be"), which it otherwise forgives.

#include <cstdint>
#include <string>
#include <vector>

namespace lumora::test {

struct SndfileView {
  bool opened = false;
  bool strict = false;
  int64_t frames = 0;
  int32_t rate = 0;
  int32_t channels = 0;
  int32_t format = 0;  // SF_FORMAT_* major | subtype
  std::string log;
  std::vector<int32_t> samples;  // interleaved, scaled to 32-bit by libsndfile
};

SndfileView ReadWithSndfile(const std::string& path, bool readSamples = false);

// Writes data as a PCM WAV file through libsndfile; true when all of it was written.
bool WriteWav(const std::string& path, int32_t rate, int32_t bits, int32_t channels,
              const std::vector<uint8_t>& data);

// The audio of a WAV file with a 44-byte header.
std::vector<unsigned char> DataOf(const std::string& path);

}  // namespace lumora::test
