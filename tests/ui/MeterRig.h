#pragma once
// Level displays on offscreen pictures, fed by the level scan from a ring of
// PCM buffers, as the window feeds them every tick.

#include <QImage>
#include <functional>
#include <string>
#include <vector>

#include "meters/LevelScan.h"
#include "meters/ui/MeterPicture.h"

namespace lumora::testing {

// Sample value of channel c at frame f.
using Signal = std::function<int32_t(int64_t f, int c)>;

// A ring as capture leaves it: record i holds 100 ms from frame i * nFreq / 10
// (the first `records` of them filled).
struct SignalRing {
  SignalRing(const SampleFormat& format, const Signal& signal, int records = kRingBuffers) {
    const int64_t n = format.nFreq / 10;
    for (int i = 0; i < records; ++i) {
      std::vector<uint8_t>& bytes = buffers.emplace_back();
      for (int64_t f = i * n; f < (i + 1) * n; ++f) {
        for (int c = 0; c < format.nCh; ++c) {
          const int32_t v = signal(f, c) + (format.nBit == 8 ? 128 : 0);
          for (int b = 0; b < format.nBit / 8; ++b) bytes.push_back(static_cast<uint8_t>(v >> (8 * b)));
        }
      }
      table[i].firstRange = {i * n, i * n + n - 1};
    }
    for (int i = 0; i < records; ++i) table[i].firstData = table[i].secondData = buffers[i].data();
  }
  std::vector<std::vector<uint8_t>> buffers;
  FrameTable table{};
};

// A square wave of the given amplitude: every magnitude equals it.
inline Signal Square(int32_t left, int32_t right) {
  return [=](int64_t f, int c) { return (f % 2 ? -1 : 1) * (c ? right : left); };
}

// The colour of each pixel from x0 to x1 in row y, one letter each, by the
// palette given as (letter, colour) pairs; '?' for any other colour.
inline std::string RowLetters(const QImage& image, int y, int x0, int x1,
                              const std::vector<std::pair<char, QRgb>>& palette) {
  std::string letters;
  for (int x = x0; x <= x1; ++x) {
    char letter = '?';
    for (const auto& [l, rgb] : palette) {
      if (image.pixel(x, y) == rgb) letter = l;
    }
    letters += letter;
  }
  return letters;
}

// Letters of runs: {first x, letter} pairs, each run ending where the next
// starts, the last at x1.
inline std::string Runs(const std::vector<std::pair<int, char>>& runs, int x1) {
  std::string letters;
  for (size_t i = 0; i < runs.size(); ++i) {
    const int end = i + 1 < runs.size() ? runs[i + 1].first : x1 + 1;
    letters += std::string(std::max(0, end - runs[i].first), runs[i].second);
  }
  return letters;
}

}  // namespace lumora::testing
