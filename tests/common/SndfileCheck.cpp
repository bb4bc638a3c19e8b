#include "common/SndfileCheck.h"

#include <sndfile.h>

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

}  // namespace lumora::test
