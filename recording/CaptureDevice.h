#pragma once
// The capture device: choosing the input by name, the capture format, and the
// ring of 50 buffers kept queued on the device. Nothing calls back: the
// recorder's timer polls the buffer it expects next (NextBuffer), collects it,
// hands it on and queues it again. Every queued buffer carries the range of
// frame numbers it receives, so the level scan can find recent frames by number
// (Frames()). Frame 0 is the first frame after the device started, the same
// scale as the device position.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "meters/FrameTable.h"
#include "platform/WaveDevice.h"
#include "support/SampleFormat.h"

namespace lumora {

constexpr int32_t kCaptureBuffers = kRingBuffers;  // 50

// BufferStatus values.
enum CaptureBufferStatus : int32_t {
  kBufferIdle = 0,       // not prepared
  kBufferCollected = 1,  // collected by the timer, not yet queued again
  kBufferQueued = 2,     // queued when the device opened
  kBufferRequeued = 3,   // queued again by the timer
};

// What the format and device selectors of the window (or the headless front
// end) show: ComboDev(0)/(1) selected names, ComboFmt(0) text, ComboFmt(1)/(2)
// list indices.
struct FormatSelectors {
  std::string inputDevice;
  std::string outputDevice;
  std::string rateText;       // "44100"
  int32_t bitsIndex = 1;      // 0 -> 24, 1 -> 16, 2 -> 8 bit; other indices keep nBit
  int32_t channelsIndex = 0;  // 0 -> stereo, anything else -> mono
};

// What SetupFormat fills. (MaxFramesPerFile and the level geometry follow from
// `format`; the recorder computes them, recording/TakeFormat.h.)
struct CaptureFormat {
  SampleFormat format;       // nFreq, nBit, nCh
  int32_t inputDevice = -1;  // -1: the default device
  int32_t outputDevice = -1;
  int32_t formatIndex = 3;
  WaveFormat record;  // the capture format record
};

// Reads the selectors into `capture`: device ids by FindWaveDevice (no message
// box; an unknown name logs and gives -1), nFreq from the leading digits of the
// rate text (0 when there are none: the open then fails with a clear error),
// nBit, nCh, FormatIndex and the format record.
void SetupFormat(const FormatSelectors& selectors, WaveBackend& backend, CaptureFormat& capture);

// The device id for a stored device name. Empty name: 0. A whole number: that id,
// without enumerating. No device of the kind: 0. Otherwise the first device whose
// lower-cased, trimmed name equals the lower-cased, trimmed name, failing that
// the first for which DeviceNamesMatch holds. Not found: logs
// "この名前のデバイスを検出できませんでした" + " " + name (and with showMessage
// also shows it in a message box) and returns -1, the default device.
int32_t FindWaveDevice(WaveBackend& backend, bool input, const std::string& name, bool showMessage);

// 1 when two device names are the same apart from case and the "k- " number
// prefixes (k = 1...4) that systems add to tell equal names apart, as in
// "Microphone (2- USB Audio)" and "2- Line In"; else 0.
int32_t DeviceNamesMatch(const std::string& a, const std::string& b);

// A list box: its entries and the selected index (-1: none).
struct DeviceListModel {
  std::vector<std::string> entries;
  int32_t selected = -1;
};

// Fills the list with the device names of the kind (trimmed, case kept) and
// selects `name`: exact match ignoring case first, then DeviceNamesMatch, then
// entry 0 when selectFirst (otherwise the selection is left as it was). An empty
// name selects entry 0 when selectFirst. No devices: an empty list.
void FillDeviceList(DeviceListModel& list, WaveBackend& backend, bool input, const std::string& name,
                    bool selectFirst);

// Tells about a wave error: nothing for code 0; otherwise WaveErrorText as an
// error line of the log (logOnly) or in a message box. Returns 1.
int32_t WaveErrorReport(int32_t code, bool output, bool logOnly);

class CaptureRing {
 public:
  CaptureRing() = default;
  ~CaptureRing() { CloseCapture(); }
  CaptureRing(const CaptureRing&) = delete;
  CaptureRing& operator=(const CaptureRing&) = delete;

  // (Re)allocates the 50 capture buffers, output buffers and (24 bit) work
  // buffers of framesPerBuffer frames in the format, with every range -1,
  // every status 0, NextBuffer and FrameCounter 0. An open device is closed
  // first. 1 on success; 0 (and no buffers) for framesPerBuffer < 1 or a format
  // without whole bytes per frame.
  int32_t SetupCaptureBuffers(const WaveFormat& record, int64_t framesPerBuffer);

  // Opens input device `deviceId` in the format of SetupCaptureBuffers,
  // prepares and queues all 50 buffers (ranges stamped from FrameCounter) and
  // starts capturing. 1 when capturing; 0 when any step was refused: the
  // error was shown (WaveErrorReport) and the device is closed again. Without
  // buffers set up: kWaveUnprepared is reported.
  int32_t OpenCapture(WaveBackend& backend, int32_t deviceId);

  // Resets, stops and closes the device and unprepares the buffers; every
  // status 0. Harmless when nothing is open. The buffers themselves stay.
  void CloseCapture();
  bool IsOpen() const { return device_ != nullptr; }

  // The timer's side. Collect: status 1. Requeue: queues buffer i again; on
  // success its previous range becomes its current one, the current range moves
  // on to FrameCounter ... + FramesPerBuffer - 1 and FrameCounter grows; returns
  // 0 or the device's error code (kWaveInvalidHandle when closed). The status is
  // left for MarkRequeued: status 3 and NextBuffer = (i + 1) mod 50.
  void Collect(int32_t i);
  int32_t Requeue(int32_t i);
  void MarkRequeued(int32_t i);

  int32_t BufferStatus(int32_t i) const { return buffers_[Index(i)].status; }
  uint32_t Flags(int32_t i) const { return buffers_[Index(i)].header.Flags(); }
  int64_t BytesRecorded(int32_t i) const;
  FrameRange CurrentRange(int32_t i) const { return frames_[Index(i)].firstRange; }
  FrameRange PreviousRange(int32_t i) const { return frames_[Index(i)].secondRange; }
  // Frame 0 of capture buffer i (which 0) or of output buffer i (which 1).
  uint8_t* BufferAddress(int32_t i, int32_t which);
  // The 24-bit work buffer of i (FramesPerBuffer * nCh integers); empty otherwise.
  std::vector<int32_t>& WorkBuffer(int32_t i) { return buffers_[Index(i)].work; }

  int64_t FramesPerBuffer() const { return framesPerBuffer_; }
  int64_t BufferBytes() const { return framesPerBuffer_ * record_.blockAlign; }
  const WaveFormat& Format() const { return record_; }
  int32_t NextBuffer() const { return nextBuffer_; }
  int64_t FrameCounter() const { return frameCounter_; }
  // The ranges and capture buffers for the level scan.
  const FrameTable& Frames() const { return frames_; }

  // The device position in frames since the start; kWaveInvalidHandle when closed.
  int32_t Position(int64_t& frames) const;
  // Frames the device had no queued buffer for (0 when closed).
  int64_t LostFrames() const;

 private:
  struct Buffer {
    std::vector<uint8_t> capture;
    std::vector<uint8_t> output;
    std::vector<int32_t> work;
    WaveHeader header;
    int32_t status = kBufferIdle;
  };
  static size_t Index(int32_t i) { return static_cast<size_t>(i) % kCaptureBuffers; }
  // Ranges -1, header flags 0, NextBuffer and FrameCounter 0.
  void ResetCounters();
  // Queues buffer i and moves its ranges on.
  int32_t QueueAt(int32_t i);
  // Reports the code in a message box, closes the device; 0.
  int32_t Fail(int32_t code);

  WaveFormat record_;
  int64_t framesPerBuffer_ = 0;
  int32_t nextBuffer_ = 0;
  int64_t frameCounter_ = 0;
  std::array<Buffer, kCaptureBuffers> buffers_;
  FrameTable frames_{};
  // Declared last: destroyed first, while the headers it may hold still exist.
  std::unique_ptr<WaveDevice> device_;
};

}  // namespace lumora
