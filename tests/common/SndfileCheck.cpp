#include "common/SndfileCheck.h"

#include <sndfile.h>

#include "common/TempDir.h"

namespace lumora::test {

SndfileView ReadWithSndfile(const std::string& path, bool readSamples) {
  SndfileView view;
  SF_INFO info{};
  SNDFILE* file = sf_open(path.c_str(), SFM_READ, &info);
  if (!file) return view;
  view.opened = true;
  view.frames = info.frames;
  view.rate = info.samplerate;
  view.channels = info.channels;
  view.format = info.format;
  char log[8192] = {};
  sf_command(file, SFC_GET_LOG_INFO, log, sizeof log);
  view.log = log;
  view.strict = view.log.find("should be") == std::string::npos;
  if (readSamples && info.frames > 0) {
    view.samples.resize(static_cast<size_t>(info.frames) * static_cast<size_t>(info.channels));
    view.samples.resize(static_cast<size_t>(
        sf_read_int(file, view.samples.data(), static_cast<sf_count_t>(view.samples.size()))));
  }
  sf_close(file);
  return view;
}

bool WriteWav(const std::string& path, int32_t rate, int32_t bits, int32_t channels,
              const std::vector<uint8_t>& data) {
  const int subtype = bits == 8 ? SF_FORMAT_PCM_U8 : bits == 16 ? SF_FORMAT_PCM_16 : SF_FORMAT_PCM_24;
  SF_INFO info{0, rate, channels, SF_FORMAT_WAV | subtype, 0, 0};
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (file == nullptr) return false;
  const bool whole = sf_write_raw(file, data.data(), std::ssize(data)) == std::ssize(data);
  return sf_close(file) == 0 && whole;
}

std::vector<unsigned char> DataOf(const std::string& path) {
  auto bytes = ReadFileBytes(path);
  return {bytes.begin() + 44, bytes.end()};
}

}  // namespace lumora::test
