#include "platform/RtAudioDevice.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <thread>

#include "platform/PcmBlocks.h"
#include "platform/QuietStderr.h"
#include "platform/WaveError.h"
#include "support/Log.h"

namespace lumora {
namespace {

thread_local RtAudioDevice* t_device = nullptr;
thread_local bool t_audioThread = false;  // set on RtAudio's callback thread

RtAudioFormat SampleType(int32_t bits) {
  if (bits == 8) return RTAUDIO_SINT8;
  return bits == 24 ? RTAUDIO_SINT24 : RTAUDIO_SINT16;  // SINT24: packed 3 bytes, as our files
}

// Blocks of about 20 ms: short enough that a 40 ms timer sees buffers complete
// evenly, long enough to keep the callback cheap.
unsigned int BlockFrames(int32_t rate) { return static_cast<unsigned int>(rate / 50); }

void LogLibraryText(const std::string& text) { Log("RtAudio: " + text, 1); }

// The RtAudio index of the occurrence-th device of the kind called `name` and
// its channel count. An empty name stands for the default device, or the first
// one of the kind when none is marked as default.
bool FindDevice(RtAudio& audio, const std::string& name, int32_t occurrence, bool input, unsigned int& index,
                unsigned int& channels) {
  bool found = false;
  const unsigned int count = audio.getDeviceCount();
  for (unsigned int k = 0; k < count; ++k) {
    const RtAudio::DeviceInfo info = audio.getDeviceInfo(k);
    const unsigned int available = input ? info.inputChannels : info.outputChannels;
    if (!info.probed || available == 0) continue;
    const bool isDefault = input ? info.isDefaultInput : info.isDefaultOutput;
    const bool chosen = name.empty() ? isDefault || !found : info.name == name && --occurrence == 0;
    if (!chosen) continue;
    index = k;
    channels = available;
    found = true;
    if (!name.empty() || isDefault) return true;
  }
  return found;
}

// What the owner holds: closing it closes the shared device, which a helper
// thread may keep alive past a hung close.
class RtAudioHandle final : public WaveDevice {
 public:
  explicit RtAudioHandle(std::shared_ptr<RtAudioDevice> device) : device_(std::move(device)) {}
  ~RtAudioHandle() override { device_->Close(); }
  WaveDirection Direction() const override { return device_->Direction(); }
  int32_t Prepare(WaveHeader& header) override { return device_->Prepare(header); }
  int32_t Unprepare(WaveHeader& header) override { return device_->Unprepare(header); }
  int32_t Queue(WaveHeader& header) override { return device_->Queue(header); }
  int32_t Start() override { return device_->Start(); }
  int32_t Stop() override { return device_->Stop(); }
  int32_t Reset() override { return device_->Reset(); }
  int32_t Pause() override { return device_->Pause(); }
  int32_t Restart() override { return device_->Restart(); }
  int32_t Position(int64_t& frames) const override { return device_->Position(frames); }
  int64_t LostFrames() const override { return device_->LostFrames(); }

 private:
  std::shared_ptr<RtAudioDevice> device_;
};

}  // namespace

int32_t RtAudioDevice::Open(RtAudio::Api api, const std::string& name, int32_t occurrence,
                            WaveDirection direction, const WaveFormat& format,
                            std::unique_ptr<WaveDevice>& device) {
  device.reset();
  if (const int32_t bad = CheckWaveFormat(format)) return bad;
  try {
    auto opened = std::make_shared<RtAudioDevice>(api, direction, format);
    if (const int32_t code = opened->OpenStream(name, occurrence)) return code;
    device = std::make_unique<RtAudioHandle>(std::move(opened));
    return 0;
  } catch (const RtAudioError& e) {
    LogLibraryText(e.getMessage());
    return kWaveUnspecified;
  }
}

RtAudioDevice::RtAudioDevice(RtAudio::Api api, WaveDirection direction, const WaveFormat& format)
    : audio_(api), direction_(direction), format_(format) {
  audio_.showWarnings(false);
}

int32_t RtAudioDevice::OpenStream(const std::string& name, int32_t occurrence) {
  const bool input = direction_ == WaveDirection::kInput;
  const QuietStderr quiet;
  unsigned int index = 0;
  unsigned int channels = 0;
  bool found = false;
  int32_t code = Run([&] { found = FindDevice(audio_, name, occurrence, input, index, channels); });
  if (code != 0) return code;
  if (!found) return kWaveBadDeviceId;
  // RtAudio refuses more channels than a device has; a mono device gets the
  // stereo format adapted here instead.
  deviceChannels_ = std::min<int32_t>(format_.channels, static_cast<int32_t>(channels));
  RtAudio::StreamParameters parameters;
  parameters.deviceId = index;
  parameters.nChannels = static_cast<unsigned int>(deviceChannels_);
  RtAudio::StreamOptions options;
  options.streamName = "lumora";
  unsigned int frames = BlockFrames(format_.samplesPerSec);
  code = Run([&] {
    audio_.openStream(input ? nullptr : &parameters, input ? &parameters : nullptr,
                      SampleType(format_.bitsPerSample), static_cast<unsigned int>(format_.samplesPerSec),
                      &frames, &RtAudioDevice::OnAudio, this, &options, &RtAudioDevice::OnError);
  });
  if (code != 0) return code;
  if (deviceChannels_ != format_.channels) scratch_.resize(static_cast<size_t>(frames) * format_.blockAlign);
  if (input) return 0;
  // An output plays from the open on, as soon as buffers are queued.
  active_.store(true);
  return Run([&] { audio_.startStream(); });
}

void RtAudioDevice::Close() {
  {
    const std::lock_guard<std::mutex> lock(control_);
    active_.store(false);
    queue_.ReturnAll();
  }
  // An output drains, so the tail it already handed to the sound system is
  // heard; an input has nothing worth waiting for.
  RunBounded([this] {
    if (audio_.isStreamRunning()) {
      if (direction_ == WaveDirection::kOutput) {
        audio_.stopStream();
      } else {
        audio_.abortStream();
      }
    }
    if (audio_.isStreamOpen()) audio_.closeStream();
  });
}

// Closed already, or abandoned to a helper thread that holds the last reference.
RtAudioDevice::~RtAudioDevice() = default;

template <class Call>
int32_t RtAudioDevice::Run(Call&& call) {
  if (hung_.load()) return kWaveDeviceRemoved;
  RtAudioDevice* const outer = t_device;
  t_device = this;
  ownerError_ = false;
  int32_t code = 0;
  try {
    call();
  } catch (const RtAudioError& e) {
    LogLibraryText(e.getMessage());
    code = kWaveUnspecified;
  }
  t_device = outer;
  if (code == 0 && ownerError_) code = kWaveUnspecified;
  return code != 0 ? code : Failure();
}

template <class Call>
int32_t RtAudioDevice::RunBounded(Call call) {
  if (hung_.load()) return kWaveDeviceRemoved;
  auto done = std::make_shared<std::promise<int32_t>>();
  std::future<int32_t> result = done->get_future();
  std::thread([self = shared_from_this(), call, done] { done->set_value(self->Run(call)); }).detach();
  if (result.wait_for(kCloseWait) == std::future_status::ready) return result.get();
  hung_.store(true);
  Log("RtAudio: the sound system did not answer within 2 s; the device is abandoned", 1);
  return kWaveDeviceRemoved;
}

int RtAudioDevice::OnAudio(void* output, void* input, unsigned int frames, double, RtAudioStreamStatus,
                           void* self) {
  auto* device = static_cast<RtAudioDevice*>(self);
  t_device = device;
  t_audioThread = true;
  return device->Serve(static_cast<uint8_t*>(output), static_cast<uint8_t*>(input), frames);
}

int RtAudioDevice::Serve(uint8_t* output, uint8_t* input, unsigned int frames) {
  if (failed_.load(std::memory_order_relaxed) || RunsAhead(frames)) return 2;  // abort: the stream is broken
  const std::unique_lock<std::mutex> lock(control_, std::try_to_lock);
  const bool active = lock.owns_lock() && active_.load(std::memory_order_acquire);
  if (direction_ == WaveDirection::kInput) {
    if (active && input != nullptr) TakeIn(input, frames);
    return 0;
  }
  if (output == nullptr) return 0;
  const int64_t deviceBytes = static_cast<int64_t>(frames) * deviceChannels_ * (format_.bitsPerSample / 8);
  if (!active) {
    std::memset(output, 0, static_cast<size_t>(deviceBytes));
    return 0;
  }
  PlayOut(output, frames);
  return 0;
}

void RtAudioDevice::TakeIn(uint8_t* input, int64_t frames) {
  const int32_t sampleBytes = format_.bitsPerSample / 8;
  const int64_t blockAlign = format_.blockAlign;
  if (sampleBytes == 1) FlipSign(input, frames * deviceChannels_);
  int64_t taken = 0;
  if (scratch_.empty()) {
    taken = queue_.Fill(input, frames * blockAlign);
  } else {
    const int64_t chunk = static_cast<int64_t>(scratch_.size()) / blockAlign;
    for (int64_t done = 0; done < frames; done += chunk) {
      const int64_t n = std::min(chunk, frames - done);
      DuplicateMono(input + done * sampleBytes, n, sampleBytes, scratch_.data());
      taken += queue_.Fill(scratch_.data(), n * blockAlign);
    }
  }
  position_.fetch_add(frames, std::memory_order_relaxed);
  lost_.fetch_add(frames - taken / blockAlign, std::memory_order_relaxed);
}

void RtAudioDevice::PlayOut(uint8_t* output, int64_t frames) {
  const int32_t sampleBytes = format_.bitsPerSample / 8;
  const int64_t blockAlign = format_.blockAlign;
  int64_t played = 0;
  if (scratch_.empty()) {
    played = queue_.Drain(output, frames * blockAlign) / blockAlign;
    if (sampleBytes == 1) FlipSign(output, played * blockAlign);
  } else {
    const int64_t chunk = static_cast<int64_t>(scratch_.size()) / blockAlign;
    for (int64_t done = 0; done < frames; done += chunk) {
      const int64_t n =
          queue_.Drain(scratch_.data(), std::min(chunk, frames - done) * blockAlign) / blockAlign;
      if (sampleBytes == 1) FlipSign(scratch_.data(), n * blockAlign);
      MixToMono(scratch_.data(), n, sampleBytes, output + played * sampleBytes);
      played += n;
      if (n < std::min(chunk, frames - done)) break;
    }
  }
  const int64_t deviceBlock = static_cast<int64_t>(deviceChannels_) * sampleBytes;
  std::memset(output + played * deviceBlock, 0, static_cast<size_t>((frames - played) * deviceBlock));
  position_.fetch_add(played, std::memory_order_relaxed);
}

// A stream whose sound server has gone fails every read or write at once and
// reports it as a mere warning, so RtAudio calls back in a tight loop. A stream
// that runs seconds ahead of the steady clock while it warns is taken for such a one.
// Without warnings a stream ahead is a backlog, however long: the server's sine
// source hands over seconds of buffered signal at first, and a program that
// was stopped or starved gets the audio the server held for it meanwhile.
bool RtAudioDevice::RunsAhead(unsigned int frames) {
  const auto now = std::chrono::steady_clock::now();
  servedFrames_ += frames;
  const double rate = format_.samplesPerSec;
  const double ahead =
      static_cast<double>(servedFrames_) - std::chrono::duration<double>(now - servedSince_).count() * rate;
  if (ahead < -rate) {  // the first block, or one after a pause
    servedSince_ = now;
    servedFrames_ = frames;
    warnings_ = 0;
    return false;
  }
  // A loaded machine may see a few overrun warnings beside a burst; a dead
  // server warns on every one of its thousands of callbacks.
  if (ahead <= 2.0 * rate || warnings_ < 100) return false;
  NoteFailure(lastWarning_[0] != 0 ? lastWarning_ : "the stream runs ahead of real time");
  return true;
}

void RtAudioDevice::OnError(RtAudioError::Type type, const std::string& text) {
  RtAudioDevice* const device = t_device;
  if (device == nullptr) return;
  const bool warning = type == RtAudioError::WARNING || type == RtAudioError::DEBUG_WARNING;
  if (!t_audioThread) {  // during one of the owner's calls: Run reports it
    LogLibraryText(text);
    device->ownerError_ = device->ownerError_ || !warning;
  } else if (warning) {
    // Over- and underruns leave the stream running; the text may explain a
    // later failure.
    std::snprintf(device->lastWarning_, sizeof device->lastWarning_, "%s", text.c_str());
    ++device->warnings_;
  } else {
    device->NoteFailure(text.c_str());
  }
}

void RtAudioDevice::NoteFailure(const char* text) {
  if (failed_.load(std::memory_order_acquire)) return;
  std::snprintf(failureText_, sizeof failureText_, "%s", text);
  failed_.store(true, std::memory_order_release);
}

int32_t RtAudioDevice::Failure() const {
  if (hung_.load()) return kWaveDeviceRemoved;
  if (!failed_.load(std::memory_order_acquire)) return 0;
  if (!failureLogged_.exchange(true)) LogLibraryText(failureText_);
  return kWaveDeviceRemoved;
}

int32_t RtAudioDevice::Prepare(WaveHeader& header) {
  if (const int32_t code = Failure()) return code;
  return PrepareHeader(header);
}

int32_t RtAudioDevice::Unprepare(WaveHeader& header) { return UnprepareHeader(header); }

int32_t RtAudioDevice::Queue(WaveHeader& header) {
  if (const int32_t code = Failure()) return code;
  return queue_.Push(header, format_.blockAlign);
}

int32_t RtAudioDevice::Start() {
  if (direction_ == WaveDirection::kOutput) return Failure();
  const std::lock_guard<std::mutex> lock(control_);
  const int32_t code = Run([&] {
    if (!audio_.isStreamRunning()) audio_.startStream();
  });
  if (code == 0) active_.store(true, std::memory_order_release);
  return code;
}

int32_t RtAudioDevice::Stop() {
  if (direction_ == WaveDirection::kOutput) return kWaveNotSupported;
  const std::lock_guard<std::mutex> lock(control_);
  active_.store(false);
  queue_.CompletePartial();
  // Stopping the stream drops what the sound system still holds, so a later
  // Start does not begin with stale frames.
  return RunBounded([this] {
    if (audio_.isStreamRunning()) audio_.abortStream();
  });
}

int32_t RtAudioDevice::Reset() {
  const std::lock_guard<std::mutex> lock(control_);
  queue_.ReturnAll();
  position_.store(0);
  lost_.store(0);
  if (direction_ == WaveDirection::kOutput) return Failure();
  active_.store(false);
  return RunBounded([this] {
    if (audio_.isStreamRunning()) audio_.abortStream();
  });
}

int32_t RtAudioDevice::Pause() {
  if (direction_ == WaveDirection::kInput) return kWaveNotSupported;
  active_.store(false, std::memory_order_release);
  return Failure();
}

int32_t RtAudioDevice::Restart() {
  if (direction_ == WaveDirection::kInput) return kWaveNotSupported;
  active_.store(true, std::memory_order_release);
  return Failure();
}

int32_t RtAudioDevice::Position(int64_t& frames) const {
  frames = position_.load(std::memory_order_relaxed);
  return Failure();
}

}  // namespace lumora
