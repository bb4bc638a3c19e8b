#pragma once
// Level displays on offscreen pictures, fed by the level scan from a ring of
// PCM buffers, as the window feeds them every tick.

#include <QImage>
#include <string>
#include <vector>

#include "meters/LevelFakes.h"
#include "meters/ui/MeterPicture.h"

namespace lumora::testing {

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
