#pragma once
// What a file offers to playback: a PCM WAV file of 8, 16 or 24 bit mono or
// stereo, or an MPEG audio stream (played as 16 bit through the decoder).

#include <cstdint>
#include <string>

#include "formats/FileHandle.h"
#include "formats/Mpeg.h"
#include "support/SampleFormat.h"

namespace lumora {

// Why a file does not play.
enum class PlayFailure : int32_t {
  kNone = 0,
  kUnreadable,  // the file cannot be opened
  kUnplayable,  // neither a playable WAV file nor MPEG Layer III audio
  kDecoder,     // the MP3 decoder does not open for the file, or decodes none of it
  kDevice,      // the output device does not open
};

struct PlayFileInfo {
  PlayFailure failure = PlayFailure::kNone;
  bool mp3 = false;
  SampleFormat format;    // the file's own; MP3 as 16 bit
  int64_t dataStart = 0;  // WAV: file offset of the first sample
  MpegInfo mpeg;          // MP3
};

// Describes the file through the handle (opened by name when 0; a failed read
// closes it).
PlayFileInfo DescribePlayFile(const std::string& path, FileHandle& handle);

}  // namespace lumora
