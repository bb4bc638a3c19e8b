#pragma once
// Live signals for the simulated input devices: a WAV file, or a generator
// (silence, a tone at a level, noise, a scripted list of segments). A source is
// addressed by frame number on its own timeline; the simulation decides which
// frames a device hears, so a source never keeps a read position of its own.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "platform/WaveDevice.h"

namespace lumora {

class SignalSource {
 public:
  virtual ~SignalSource() = default;
  // 0 when a device may open on this source in the format, else a wave error
  // code (kWaveBadFormat: a file source takes only its file's own format).
  virtual int32_t CheckFormat(const WaveFormat& format) const = 0;
  // Writes frames first ... first + count - 1 in the format into out
  // (count * blockAlign bytes). Frames past the end are silence.
  virtual void Render(int64_t first, int64_t count, const WaveFormat& format, uint8_t* out) = 0;
  // Frames the signal lasts at the format's rate; -1 when it never ends.
  virtual int64_t Length(const WaveFormat& format) const = 0;
  // The format the source is best heard in (a file: its own; generators: 44100
  // Hz, 16 bit, stereo).
  virtual WaveFormat PreferredFormat() const = 0;
};

struct SignalSegment {
  enum class Kind : int32_t { kSilence, kTone, kNoise };
  Kind kind = Kind::kSilence;
  double seconds = 1.0;
  double frequency = 1000.0;  // Hz (tone)
  double levelDb = -20.0;     // peak level in dB of full scale (tone, noise)
};

// Endless generators. Levels are dB of full scale (0 dB = 127, 32767 or
// 8388607); noise is uniform, repeatable for a seed.
std::unique_ptr<SignalSource> MakeSilence();
std::unique_ptr<SignalSource> MakeTone(double frequency, double levelDb);
std::unique_ptr<SignalSource> MakeNoise(double levelDb, uint32_t seed = 1);
// The segments one after the other, each round(seconds * rate) frames long; the
// source ends after the last.
std::unique_ptr<SignalSource> MakeScript(std::vector<SignalSegment> segments);

// A WAV file (read through formats/Wav.h). nullptr and `error` =
// kWaveSourceUnreadable when the file cannot be read, is no regular file (a
// pipe, a device) or no valid WAV file.
std::unique_ptr<SignalSource> OpenWaveFileSource(const std::string& path, int32_t& error);

}  // namespace lumora
