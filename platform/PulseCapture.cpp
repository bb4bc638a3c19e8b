#include "platform/PulseCapture.h"

#include <cstdio>

#include "support/Log.h"

namespace lumora {
namespace {

pa_sample_format_t SampleType(int32_t bits) {
  if (bits == 8) return PA_SAMPLE_U8;  // unsigned, as our files hold it
  return bits == 24 ? PA_SAMPLE_S24LE : PA_SAMPLE_S16LE;
}

void LogServerText(const std::string& text) { Log("PulseAudio: " + text, 1); }

}  // namespace

int32_t PulseCapture::Open(const std::string& source, const WaveFormat& format,
                           std::unique_ptr<WaveDevice>& device) {
  device.reset();
  if (const int32_t bad = CheckWaveFormat(format)) return bad;
  std::string error;
  bool hung = false;
  std::unique_ptr<PulseLoop> loop = PulseLoop::Connect(error, hung);
  if (!loop) {
    LogServerText(error);
    return kWaveNoDriver;
  }
  std::unique_ptr<PulseCapture> opened(new PulseCapture(std::move(loop), format));
  if (const int32_t code = opened->Connect(source)) return code;
  device = std::move(opened);
  return 0;
}

PulseCapture::PulseCapture(std::unique_ptr<PulseLoop> loop, const WaveFormat& format)
    : loop_(std::move(loop)), format_(format) {}

int32_t PulseCapture::Connect(const std::string& source) {
  const pa_sample_spec spec{SampleType(format_.bitsPerSample), static_cast<uint32_t>(format_.samplesPerSec),
                            static_cast<uint8_t>(format_.channels)};
  const PulseLoop::Locked locked(*loop_);
  stream_ = pa_stream_new(loop_->Context(), "lumora", &spec, nullptr);
  if (stream_ == nullptr) {
    LogServerText(loop_->ErrorText());
    return kWaveBadFormat;
  }
  pa_stream_set_state_callback(stream_, &PulseCapture::OnState, this);
  pa_stream_set_read_callback(stream_, &PulseCapture::OnRead, this);
  // Fragments of about 20 ms: short enough that a 40 ms timer sees buffers
  // complete evenly, long enough to keep the callback cheap.
  pa_buffer_attr attr{};
  attr.maxlength = static_cast<uint32_t>(-1);
  attr.fragsize = static_cast<uint32_t>(format_.samplesPerSec / 50 * format_.blockAlign);
  const auto flags =
      static_cast<pa_stream_flags_t>(PA_STREAM_START_CORKED | PA_STREAM_DONT_MOVE | PA_STREAM_ADJUST_LATENCY);
  if (pa_stream_connect_record(stream_, source.empty() ? nullptr : source.c_str(), &attr, flags) < 0) {
    LogServerText(loop_->ErrorText());
    return kWaveUnspecified;
  }
  pa_stream* const stream = stream_;
  const bool answered = loop_->Wait([stream] {
    const pa_stream_state_t state = pa_stream_get_state(stream);
    return state == PA_STREAM_READY || !PA_STREAM_IS_GOOD(state);
  });
  if (pa_stream_get_state(stream_) == PA_STREAM_READY) return 0;
  const int error = pa_context_errno(loop_->Context());
  LogServerText(answered ? loop_->ErrorText() : "the sound server did not answer within 2 s");
  return answered && error == PA_ERR_NOENTITY ? kWaveBadDeviceId : kWaveUnspecified;
}

PulseCapture::~PulseCapture() {
  if (stream_ == nullptr) return;
  const PulseLoop::Locked locked(*loop_);
  active_.store(false);
  queue_.ReturnAll();
  pa_stream_set_state_callback(stream_, nullptr, nullptr);
  pa_stream_set_read_callback(stream_, nullptr, nullptr);
  pa_stream_disconnect(stream_);
  pa_stream_unref(stream_);
}

void PulseCapture::OnState(pa_stream* stream, void* self) {
  auto* device = static_cast<PulseCapture*>(self);
  device->loop_->Signal();
  if (PA_STREAM_IS_GOOD(pa_stream_get_state(stream)) || device->failed_.load()) return;
  std::snprintf(device->failureText_, sizeof device->failureText_, "%s",
                pa_strerror(pa_context_errno(pa_stream_get_context(stream))));
  device->failed_.store(true, std::memory_order_release);
}

void PulseCapture::OnRead(pa_stream* stream, size_t, void* self) {
  auto* device = static_cast<PulseCapture*>(self);
  const void* data = nullptr;
  size_t bytes = 0;
  while (pa_stream_peek(stream, &data, &bytes) == 0 && bytes > 0) {
    device->TakeIn(static_cast<const uint8_t*>(data), static_cast<int64_t>(bytes));
    pa_stream_drop(stream);
  }
}

// A hole (no data) is audio the server lost: counted, as frames no buffer took.
void PulseCapture::TakeIn(const uint8_t* data, int64_t bytes) {
  if (!active_.load(std::memory_order_acquire)) return;
  const int64_t taken = data != nullptr ? queue_.Fill(data, bytes) : 0;
  positionBytes_.fetch_add(bytes, std::memory_order_relaxed);
  lostBytes_.fetch_add(bytes - taken, std::memory_order_relaxed);
}

void PulseCapture::Hold(bool hold) {
  if (!PA_STREAM_IS_GOOD(pa_stream_get_state(stream_))) return;
  if (pa_operation* flushed = pa_stream_flush(stream_, nullptr, nullptr)) pa_operation_unref(flushed);
  if (pa_operation* corked = pa_stream_cork(stream_, hold ? 1 : 0, nullptr, nullptr))
    pa_operation_unref(corked);
}

int32_t PulseCapture::Failure() const {
  if (!failed_.load(std::memory_order_acquire)) return 0;
  if (!failureLogged_.exchange(true)) LogServerText(failureText_);
  return kWaveDeviceRemoved;
}

int32_t PulseCapture::Prepare(WaveHeader& header) {
  if (const int32_t code = Failure()) return code;
  return PrepareHeader(header);
}

int32_t PulseCapture::Unprepare(WaveHeader& header) { return UnprepareHeader(header); }

int32_t PulseCapture::Queue(WaveHeader& header) {
  if (const int32_t code = Failure()) return code;
  return queue_.Push(header, format_.blockAlign);
}

int32_t PulseCapture::Start() {
  const PulseLoop::Locked locked(*loop_);
  if (const int32_t code = Failure()) return code;
  Hold(false);
  active_.store(true, std::memory_order_release);
  return 0;
}

int32_t PulseCapture::Stop() {
  const PulseLoop::Locked locked(*loop_);
  active_.store(false);
  queue_.CompletePartial();
  Hold(true);
  return Failure();
}

int32_t PulseCapture::Reset() {
  const PulseLoop::Locked locked(*loop_);
  active_.store(false);
  queue_.ReturnAll();
  positionBytes_.store(0);
  lostBytes_.store(0);
  Hold(true);
  return Failure();
}

int32_t PulseCapture::Position(int64_t& frames) const {
  frames = positionBytes_.load(std::memory_order_relaxed) / format_.blockAlign;
  return Failure();
}

int64_t PulseCapture::LostFrames() const {
  return lostBytes_.load(std::memory_order_relaxed) / format_.blockAlign;
}

}  // namespace lumora
