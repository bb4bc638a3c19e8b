#pragma once
// MPEG audio files: where the first frame starts (behind ID3v2 tags or a
// leading 128-byte "TAG" block), what its header says, where the audio data
// ends (before a trailing APEv2 tag or "TAG"), and where frames start inside the data, so that
// playback and conversion can hand whole frames to the decoder.
//
// Positions in this interface count from 1 (the first byte of the file is 1);
// the file layer underneath takes 0-based offsets.
//
// Handles follow the file layer's rule: with handle 0 the file is opened by name
// and closed before returning; a non-zero handle is used and left open, except
// that a failed read closes it and zeroes the caller's variable.

#include <array>
#include <cstdint>
#include <string>

#include "formats/FileHandle.h"

namespace lumora {

struct MpegInfo {
  int64_t FirstFrame = 1;  // position of the first audio frame
  int64_t DataLength = 0;  // bytes of audio from FirstFrame up to a trailing tag or the end
  int64_t DataEnd = 0;     // FirstFrame + DataLength - 1: position of the last data byte
  int64_t FileSize = 0;
  int32_t ChunkBytes = 0;   // bytes of 3456 samples at the nominal bit rate
  int32_t IsVbr = 0;        // 1 when a "Xing" header with a usable frame count was found
  int64_t VbrFrames = 0;    // frame count of the "Xing" header
  int32_t SampleRate = 0;   // Hz
  int32_t Lsf = 0;          // 0 for MPEG-1, 1 for MPEG-2 and MPEG-2.5
  int32_t Bitrate = 0;      // kbit/s; the average for VBR
  int32_t Channels = 0;     // 1 or 2
  int32_t ChannelMode = 0;  // 0 stereo, 1 joint stereo, 2 dual channel, 3 mono
  int32_t Layer = 0;        // 1, 2 or 3
  int32_t DurationMs = 0;
  std::string ShortText;               // e.g. "mp3(44.1kHz/128kb/JS)"
  std::string LongText;                // e.g. "mp3(44100Hz/128kbps/JointStereo)"
  std::array<uint8_t, 3> HeaderRef{};  // bytes 2..4 of the first frame header
};

// Fills info from the file: 1 on success, 0 when the file is shorter than 48
// bytes, cannot be read, has no frame sync, or its first header has an invalid
// layer, bit-rate or sample-rate index (info then must not be used). With
// streamStart 1 a file that begins with a frame sync is taken as a bare stream
// from position 1 without looking for tags; the recorder writes such files.
// In files named "*.mp3" a 0xFF 0xFF pair is never taken for a frame start.
// The first frame is the first valid header that another frame follows (the
// first valid one when none is followed). When it is a "Xing" or "Info"
// header frame, HeaderRef and the nominal bit rate come from the frame behind it.
int32_t ParseMpegFile(const std::string& path, int32_t streamStart, FileHandle& handle, MpegInfo& info);
int32_t ParseMpegFile(const std::string& path, int32_t streamStart, MpegInfo& info);

// Position of the frame header at or after position (clamped to the data) that
// best matches the first frame's header, searched within 2 x ChunkBytes; the
// first of equally good candidates wins. DataEnd + 1 when the window is shorter
// than ChunkBytes, nothing matches, or the read fails.
int64_t FindFrameSync(const std::string& path, int64_t position, const MpegInfo& info, FileHandle& handle);
int64_t FindFrameSync(const std::string& path, int64_t position, const MpegInfo& info);

// Value of a text of "0" and "1": the character k places from the right end
// adds 2^k when it is "1"; other characters add nothing. Only the last 63
// characters count.
int64_t BitTextToInt(const std::string& text);

}  // namespace lumora
