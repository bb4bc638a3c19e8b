#include "formats/MpegHeader.h"

#include <algorithm>
#include <cstdio>
#include <limits>
#include <string>

#include "support/Rounding.h"

namespace lumora {
namespace {

// kbit/s by [Lsf][Layer - 1][index]: ISO/IEC 11172-3 for MPEG-1, ISO/IEC 13818-3
// for the lower sampling frequencies. Index 0 (free format) and 15 are invalid.
constexpr int16_t kBitrates[2][3][16] = {
    {{0, 32, 64, 96, 128, 160, 192, 224, 256, 288, 320, 352, 384, 416, 448, 0},
     {0, 32, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 384, 0},
     {0, 32, 40, 48, 56, 64, 80, 96, 112, 128, 160, 192, 224, 256, 320, 0}},
    {{0, 32, 48, 56, 64, 80, 96, 112, 128, 144, 160, 176, 192, 224, 256, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0},
     {0, 8, 16, 24, 32, 40, 48, 56, 64, 80, 96, 112, 128, 144, 160, 0}}};

constexpr int32_t kMpeg1Rates[3] = {44100, 48000, 32000};

struct ModeNames {
  int32_t channels;
  const char* longName;
  const char* shortName;
};
constexpr ModeNames kModes[4] = {
    {2, "Stereo", "ST"}, {2, "JointStereo", "JS"}, {2, "DualChannel", "DC"}, {1, "Mono", "Mono"}};

int32_t ClampToInt32(double value) {
  return static_cast<int32_t>(std::clamp<double>(value, 0, std::numeric_limits<int32_t>::max()));
}

// Samples in one frame: Layer I 384, Layer II 1152, Layer III 1152 for MPEG-1
// but 576 for the lower sampling frequencies.
int32_t SamplesPerFrame(const MpegInfo& info) {
  if (info.Layer == 1) return 384;
  return info.Layer == 3 && info.Lsf == 1 ? 576 : 1152;
}

// Duration and average bit rate from the "Xing" frame count; false when the
// count does not give a usable bit rate.
bool ApplyVbrFrames(MpegInfo& info) {
  if (info.VbrFrames < 1) return false;
  const double ms = static_cast<double>(info.VbrFrames) * SamplesPerFrame(info) / (info.SampleRate / 1000.0);
  const int32_t durationMs = ClampToInt32(RoundHalfEven(ms));
  const int32_t bitrate = ClampToInt32(RoundHalfEven(info.DataLength * 8.0 / durationMs));
  if (bitrate < 1) return false;
  info.DurationMs = durationMs;
  info.Bitrate = bitrate;
  return true;
}

// Rate in kHz as the shortest decimal: 44.1, 48, 22.05, 11.025.
std::string KiloHertzText(int32_t rate) {
  char text[32];
  std::snprintf(text, sizeof text, "%.3f", rate / 1000.0);
  std::string result = text;
  result.erase(result.find_last_not_of('0') + 1);
  if (result.back() == '.') result.pop_back();
  return result;
}

void FillTexts(MpegInfo& info) {
  const ModeNames& mode = kModes[info.ChannelMode];
  const std::string layer = "mp" + std::to_string(info.Layer) + "(";
  const std::string bitrate = std::to_string(info.Bitrate);
  info.LongText = layer + std::to_string(info.SampleRate) + "Hz/" + bitrate + "kbps" +
                  (info.IsVbr ? "[VBR]" : "") + "/" + mode.longName + ")";
  info.ShortText = layer + KiloHertzText(info.SampleRate) + "kHz/" + bitrate + "kb/" + mode.shortName + ")";
}

// Layer, version, bit rate, sample rate and channel mode from HeaderRef; false
// for an invalid layer, bit-rate or sample-rate index.
bool DecodeFields(MpegInfo& info) {
  const uint8_t version = info.HeaderRef[0];
  const uint8_t rates = info.HeaderRef[1];
  const int32_t layerBits = (version >> 1) & 3;
  if (layerBits == 0) return false;
  info.Layer = 4 - layerBits;
  info.Lsf = (version & 0x08) != 0 ? 0 : 1;
  const bool mpeg25 = (version & 0x18) == 0;

  info.Bitrate = kBitrates[info.Lsf][info.Layer - 1][rates >> 4];
  if (info.Bitrate == 0) return false;
  const int32_t rateIndex = (rates >> 2) & 3;
  if (rateIndex == 3) return false;
  info.SampleRate = kMpeg1Rates[rateIndex] >> (mpeg25 ? 2 : info.Lsf);

  info.ChannelMode = info.HeaderRef[2] >> 6;
  info.Channels = kModes[info.ChannelMode].channels;
  return true;
}

}  // namespace

bool IsSyncSecondByte(uint8_t second) { return second >= 0xF0 || (second >= 0xE0 && second <= 0xE7); }

MpegFrameShape ShapeOfFrame(const uint8_t* h) {
  MpegInfo info;
  info.HeaderRef = {h[1], h[2], h[3]};
  if (h[0] != 0xFF || !IsSyncSecondByte(h[1]) || !DecodeFields(info)) return {};
  const int64_t padding = (h[2] >> 1) & 1;
  const int32_t samples = SamplesPerFrame(info);
  const int64_t bitsPerSecond = info.Bitrate * int64_t{1000};
  // Layer I counts its length in 4-byte slots, the others in bytes.
  const int64_t bytes = info.Layer == 1 ? (12 * bitsPerSecond / info.SampleRate + padding) * 4
                                        : samples / 8 * bitsPerSecond / info.SampleRate + padding;
  return {info.Layer, bytes, samples};
}

int64_t VbrHeaderOffset(const uint8_t* h) {
  const bool mpeg1 = (h[1] & 0x08) != 0;
  const bool mono = (h[3] >> 6) == 3;
  return 4 + (mpeg1 ? (mono ? 17 : 32) : (mono ? 9 : 17));
}

int32_t DecodeMpegHeader(MpegInfo& info) {
  if (!DecodeFields(info)) return 0;
  if (info.IsVbr != 0 && !ApplyVbrFrames(info)) info.IsVbr = 0;
  if (info.IsVbr == 0) info.DurationMs = ClampToInt32(RoundHalfEven(info.DataLength / (info.Bitrate / 8.0)));
  FillTexts(info);
  info.ChunkBytes = static_cast<int32_t>(RoundHalfEven(3456.0 / info.SampleRate * info.Bitrate * 125));
  return 1;
}

}  // namespace lumora
