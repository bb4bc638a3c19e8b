#pragma once
// The audio an armed take heard last: a ring of the newest gained frames, so a
// take that starts on a sound keeps the breath and the first consonant before
// the level was reached. Memory is allocated only when a take asks for it, and
// never more than its length at the take's format.

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace lumora {

class PreRecord {
 public:
  // Room for `frames` frames of `blockAlign` bytes, empty; 0 frames: none, and
  // nothing is kept. Throws std::bad_alloc when the machine cannot hold it.
  void Setup(int64_t frames, int32_t blockAlign);
  bool Enabled() const { return capacity_ > 0; }

  // Keeps `frames` frames at `data`; when full, the oldest make room.
  void Keep(const uint8_t* data, int64_t frames);
  // The frames kept, oldest first, in at most two pieces.
  std::array<std::span<const uint8_t>, 2> Pieces() const;
  int64_t Frames() const { return frames_; }
  void Clear() { frames_ = 0; }

 private:
  std::vector<uint8_t> ring_;
  int64_t capacity_ = 0;  // frames
  int32_t blockAlign_ = 0;
  int64_t newest_ = 0;  // the frame slot the next frame goes to
  int64_t frames_ = 0;  // frames kept
};

}  // namespace lumora
