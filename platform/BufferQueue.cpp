#include "platform/BufferQueue.h"

#include "platform/WaveError.h"

namespace lumora {

int32_t PrepareHeader(WaveHeader& header) {
  if ((header.Flags() & kWaveInQueue) != 0) return kWaveStillPlaying;
  header.flags.fetch_or(kWavePrepared, std::memory_order_acq_rel);
  return 0;
}

int32_t UnprepareHeader(WaveHeader& header) {
  if ((header.Flags() & kWaveInQueue) != 0) return kWaveStillPlaying;
  header.flags.fetch_and(~kWavePrepared, std::memory_order_acq_rel);
  return 0;
}

int32_t BufferQueue::Push(WaveHeader& header, int32_t blockAlign) {
  const uint32_t flags = header.Flags();
  if ((flags & kWavePrepared) == 0) return kWaveUnprepared;
  if ((flags & kWaveInQueue) != 0) return kWaveStillPlaying;
  if (header.data == nullptr || header.length <= 0 || blockAlign <= 0 || header.length % blockAlign != 0) {
    return kWaveInvalidParam;
  }
  const uint64_t tail = tail_.load(std::memory_order_relaxed);
  if (tail - head_.load(std::memory_order_acquire) >= slots_.size()) return kWaveQueueFull;
  header.bytesRecorded.store(0, std::memory_order_relaxed);
  header.flags.store((flags & ~kWaveDone) | kWaveInQueue, std::memory_order_release);
  slots_[tail % slots_.size()] = &header;
  tail_.store(tail + 1, std::memory_order_release);
  return 0;
}

WaveHeader* BufferQueue::Front() const {
  const uint64_t head = head_.load(std::memory_order_relaxed);
  if (head == tail_.load(std::memory_order_acquire)) return nullptr;
  return slots_[head % slots_.size()];
}

void BufferQueue::Complete(bool markDone) {
  WaveHeader* front = Front();
  front->bytesRecorded.store(frontOffset_, std::memory_order_relaxed);
  if (markDone) {
    const uint32_t flags = front->flags.load(std::memory_order_relaxed);
    front->flags.store((flags | kWaveDone) & ~kWaveInQueue, std::memory_order_release);
  }
  frontOffset_ = 0;
  head_.store(head_.load(std::memory_order_relaxed) + 1, std::memory_order_release);
}

int64_t BufferQueue::Fill(const uint8_t* source, int64_t bytes) {
  return Transfer(
      bytes, [source](uint8_t* buffer, int64_t n, int64_t at) { std::memcpy(buffer, source + at, n); },
      [] { return false; });
}

int64_t BufferQueue::Drain(uint8_t* destination, int64_t bytes) {
  return Transfer(
      bytes,
      [destination](uint8_t* buffer, int64_t n, int64_t at) { std::memcpy(destination + at, buffer, n); },
      [] { return false; });
}

void BufferQueue::CompletePartial() {
  if (frontOffset_ > 0) Complete(true);
}

void BufferQueue::ReturnAll() {
  while (!Empty()) Complete(true);
}

}  // namespace lumora
