#pragma once
// The buffers a device holds, in queue order: a fixed ring of header pointers
// with one producer (the owner's thread queues) and one consumer (the device's
// thread fills or plays). Nothing here allocates, locks or waits, so an audio
// callback can be the consumer. The owner may act as the consumer as well, but
// only while it keeps the device's thread out (Stop, Reset, close).

#include <algorithm>
#include <array>
#include <atomic>
#include <cstdint>
#include <cstring>

#include "platform/WaveDevice.h"

namespace lumora {

// Header preparation, the same for every device: 0, or kWaveStillPlaying while
// the header is queued.
int32_t PrepareHeader(WaveHeader& header);
int32_t UnprepareHeader(WaveHeader& header);

class BufferQueue {
 public:
  // Producer. Checks and appends the header: done cleared, in-queue set, bytes
  // recorded 0. Returns 0, kWaveUnprepared, kWaveStillPlaying,
  // kWaveInvalidParam or kWaveQueueFull.
  int32_t Push(WaveHeader& header, int32_t blockAlign);

  // Consumer. Moves up to `bytes` through the queued buffers in order:
  // copy(bufferBytes, n, moved) moves n bytes between the buffer and the
  // caller's stream at stream offset `moved`. A buffer that becomes full is
  // completed: bytes recorded = its length, done set, in-queue cleared; unless
  // withhold() answers true, which leaves it flagged in-queue without done.
  // Returns the bytes moved (fewer when the queue ran empty).
  template <class Copy, class Withhold>
  int64_t Transfer(int64_t bytes, Copy&& copy, Withhold&& withhold) {
    int64_t moved = 0;
    while (moved < bytes) {
      WaveHeader* front = Front();
      if (front == nullptr) break;
      const int64_t n = std::min(bytes - moved, front->length - frontOffset_);
      copy(front->data + frontOffset_, n, moved);
      frontOffset_ += n;
      moved += n;
      if (frontOffset_ == front->length) Complete(!withhold());
    }
    return moved;
  }
  // Input: copies a stream block into the queued buffers.
  int64_t Fill(const uint8_t* source, int64_t bytes);
  // Output: copies queued buffers into a stream block.
  int64_t Drain(uint8_t* destination, int64_t bytes);

  bool Empty() const { return Front() == nullptr; }
  // Bytes already in the front buffer, which is not handed back yet.
  int64_t FrontBytes() const { return frontOffset_; }
  // Input stop: a partly filled front buffer is returned done with what it holds.
  void CompletePartial();
  // Reset: every queued buffer is returned done, with the bytes it has.
  void ReturnAll();

 private:
  WaveHeader* Front() const;
  void Complete(bool markDone);

  std::array<WaveHeader*, kWaveQueueCapacity> slots_{};
  std::atomic<uint64_t> head_{0};  // next to complete (consumer)
  std::atomic<uint64_t> tail_{0};  // next free slot (producer)
  int64_t frontOffset_ = 0;        // bytes done in the front buffer (consumer)
};

}  // namespace lumora
