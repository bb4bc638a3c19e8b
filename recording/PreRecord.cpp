#include "recording/PreRecord.h"

#include <algorithm>
#include <cstring>

namespace lumora {

void PreRecord::Setup(int64_t frames, int32_t blockAlign) {
  capacity_ = std::max<int64_t>(frames, 0);
  blockAlign_ = blockAlign;
  ring_.assign(static_cast<size_t>(capacity_ * blockAlign), 0);
  ring_.shrink_to_fit();  // a shorter pre-record gives the memory back
  newest_ = frames_ = 0;
}

void PreRecord::Keep(const uint8_t* data, int64_t frames) {
  if (capacity_ == 0 || frames <= 0) return;
  if (frames > capacity_) {  // only the newest fit
    data += (frames - capacity_) * blockAlign_;
    frames = capacity_;
  }
  while (frames > 0) {
    const int64_t piece = std::min(frames, capacity_ - newest_);
    std::memcpy(ring_.data() + newest_ * blockAlign_, data, static_cast<size_t>(piece * blockAlign_));
    data += piece * blockAlign_;
    frames -= piece;
    frames_ = std::min(frames_ + piece, capacity_);
    newest_ = (newest_ + piece) % capacity_;
  }
}

std::array<std::span<const uint8_t>, 2> PreRecord::Pieces() const {
  const int64_t oldest = (newest_ - frames_ + capacity_) % std::max<int64_t>(capacity_, 1);
  const int64_t first = std::min(frames_, capacity_ - oldest);
  const uint8_t* base = ring_.data();
  return {std::span<const uint8_t>(base + oldest * blockAlign_, static_cast<size_t>(first * blockAlign_)),
          std::span<const uint8_t>(base, static_cast<size_t>((frames_ - first) * blockAlign_))};
}

}  // namespace lumora
