#include "recording/CaptureDevice.h"

#include <new>

#include "platform/WaveError.h"

namespace lumora {

int32_t CaptureRing::SetupCaptureBuffers(const WaveFormat& record, int64_t framesPerBuffer) {
  CloseCapture();
  record_ = record;
  const bool usable = framesPerBuffer >= 1 && record.blockAlign > 0 && record.bitsPerSample % 8 == 0 &&
                      record.blockAlign == record.bitsPerSample / 8 * record.channels;
  framesPerBuffer_ = usable ? framesPerBuffer : 0;
  const auto bytes = static_cast<size_t>(framesPerBuffer_ * record.blockAlign);
  const size_t workSize =
      record.bitsPerSample == 24 ? static_cast<size_t>(framesPerBuffer_ * record.channels) : 0;
  const uint8_t silence = record.bitsPerSample == 8 ? 0x80 : 0;
  try {
    for (Buffer& buffer : buffers_) {
      buffer.capture.assign(bytes, silence);
      buffer.output.assign(bytes, silence);
      buffer.work.assign(workSize, 0);
    }
  } catch (const std::bad_alloc&) {
    framesPerBuffer_ = 0;
    for (Buffer& buffer : buffers_) {
      buffer.capture = {};
      buffer.output = {};
      buffer.work = {};
    }
  }
  for (int32_t i = 0; i < kCaptureBuffers; ++i) {
    Buffer& buffer = buffers_[Index(i)];
    buffer.header.data = buffer.capture.empty() ? nullptr : buffer.capture.data();
    buffer.header.length = BufferBytes();
    buffer.status = kBufferIdle;
  }
  ResetCounters();
  return framesPerBuffer_ > 0 ? 1 : 0;
}

void CaptureRing::ResetCounters() {
  for (int32_t i = 0; i < kCaptureBuffers; ++i) {
    Buffer& buffer = buffers_[Index(i)];
    buffer.header.bytesRecorded.store(0);
    buffer.header.flags.store(0);
    frames_[Index(i)] = FrameRecord{{}, {}, buffer.header.data, buffer.header.data};
  }
  nextBuffer_ = 0;
  frameCounter_ = 0;
}

int32_t CaptureRing::OpenCapture(WaveBackend& backend, int32_t deviceId) {
  CloseCapture();
  if (framesPerBuffer_ < 1) return Fail(kWaveUnprepared);
  // Frame 0 is the first frame after this start, whatever an earlier open counted.
  ResetCounters();
  if (const int32_t code = backend.Open(WaveDirection::kInput, deviceId, record_, device_)) return Fail(code);
  for (int32_t i = 0; i < kCaptureBuffers; ++i) {
    if (const int32_t code = device_->Prepare(buffers_[Index(i)].header)) return Fail(code);
    if (const int32_t code = QueueAt(i)) return Fail(code);
    buffers_[Index(i)].status = kBufferQueued;
  }
  if (const int32_t code = device_->Start()) return Fail(code);
  return 1;
}

int32_t CaptureRing::Fail(int32_t code) {
  WaveErrorReport(code, false, false);
  CloseCapture();
  return 0;
}

void CaptureRing::CloseCapture() {
  for (Buffer& buffer : buffers_) buffer.status = kBufferIdle;
  if (!device_) return;
  device_->Reset();
  device_->Stop();
  for (Buffer& buffer : buffers_) device_->Unprepare(buffer.header);
  device_.reset();
}

int32_t CaptureRing::QueueAt(int32_t i) {
  if (const int32_t code = device_->Queue(buffers_[Index(i)].header)) return code;
  FrameRecord& record = frames_[Index(i)];
  record.secondRange = record.firstRange;
  record.firstRange = {frameCounter_, frameCounter_ + framesPerBuffer_ - 1};
  frameCounter_ += framesPerBuffer_;
  return 0;
}

void CaptureRing::Collect(int32_t i) { buffers_[Index(i)].status = kBufferCollected; }

int32_t CaptureRing::Requeue(int32_t i) {
  if (!device_) return kWaveInvalidHandle;
  return QueueAt(i);
}

void CaptureRing::MarkRequeued(int32_t i) {
  buffers_[Index(i)].status = kBufferRequeued;
  nextBuffer_ = static_cast<int32_t>((Index(i) + 1) % kCaptureBuffers);
}

int64_t CaptureRing::BytesRecorded(int32_t i) const {
  return buffers_[Index(i)].header.bytesRecorded.load(std::memory_order_acquire);
}

uint8_t* CaptureRing::BufferAddress(int32_t i, int32_t which) {
  std::vector<uint8_t>& bytes = which == 0 ? buffers_[Index(i)].capture : buffers_[Index(i)].output;
  return bytes.empty() ? nullptr : bytes.data();
}

int32_t CaptureRing::Position(int64_t& frames) const {
  frames = 0;
  return device_ ? device_->Position(frames) : kWaveInvalidHandle;
}

int64_t CaptureRing::LostFrames() const { return device_ ? device_->LostFrames() : 0; }

}  // namespace lumora
