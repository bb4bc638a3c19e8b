#pragma once
// The recorder: takes (start, stop, file choice), the hand-off of captured
// buffers to the disk writer, the input monitor, and the recording timer's tick
// that drives all of it. One instance, owned by the window (or lumora-rec), used
// from one thread. Buttons, keys and the remote never start or stop a take
// themselves: they call RequestStart / RequestStop and the next Tick acts.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "formats/Mp3acm.h"
#include "meters/LevelScan.h"
#include "platform/WaveDevice.h"
#include "recording/CaptureDevice.h"
#include "recording/DiskWriter.h"
#include "recording/PreRecord.h"
#include "recording/RecorderView.h"
#include "recording/RecordingState.h"
#include "settings/Settings.h"

namespace lumora {

class Recorder {
 public:
  Recorder(WaveBackend& devices, RecorderView& view, Settings& settings);

  // The window's controls: the format and device selectors and the rest.
  FormatSelectors selectors;
  RecorderControls controls;
  // Where full level scans go (the window's meter and history); a front end
  // without them gets peak-only scans, which is all automatic recording needs.
  ScanOutputs scanOutputs;
  // The remote's poll, run by every tick once the events have run; 1 when it
  // acted on an input, and the tick then carries out only a pending start or
  // stop. Empty without a remote.
  std::function<int32_t()> remotePoll;
  // The playback step (the play transport's update), run by Tick after the
  // capture work unless the tick ended early; told whether the tick redraws.
  std::function<void(bool redraw)> playbackStep;

  // 0 chooses the output file (save dialog), 1 starts a take, 2 stops it.
  void RecordCommand(int32_t action);
  // The later request wins: a start cancels a pending stop and the reverse.
  void RequestStart() {
    loop_.pendingStart = true;
    loop_.pendingStop = false;
  }
  void RequestStop() {
    loop_.pendingStop = true;
    loop_.pendingStart = false;
  }

  // One tick of the recording timer; returns the interval in ms until the next.
  int32_t Tick();

  // The click action of the input monitor box (after controls.CheckInputMon changed).
  void InputMonitorClicked();
  // A change of HScrollRec(k): its value text, and for the levels the thresholds.
  void SliderChanged(int32_t k);
  // The recording level slider, in dB: the input gain of both channels.
  void SetRecLevel(float db);
  // The meters' "RMS+3db" mode.
  void SetRmsPlus3(bool on) { levels_.rmsPlus3 = on; }

  const RecordingState& State() const { return state_; }
  const LoopState& Loop() const { return loop_; }
  const CaptureRing& Ring() const { return ring_; }
  const CaptureFormat& Capture() const { return capture_; }
  const LevelState& Levels() const { return levels_; }
  C_mp3acm& Codec() { return codec_; }
  // Device frames collected while a take ran, over all takes of this run.
  int64_t CapturedFrames() const { return capturedFrames_; }

 private:
  friend class RecorderTestAccess;  // tests reach states no quick take can (a 4 GiB file)

  // Takes (Recorder.cpp).
  void StartTake();
  bool OpenTakeFile();
  void AbortStart();
  void StopTake();
  void FinishTakeFile();
  int64_t FinishMp3File(const std::string& name);
  int64_t FinishWavFile(const std::string& name);
  void StopOnWriteFailure();
  void StopOnError(const std::string& text);
  void ReportLostFrames();
  void CheckDiskSpace();
  bool SetupCapture(bool mp3Mode);
  bool DecideMp3Mode() const;
  // The hand-off of one collected buffer (RecorderHandOff.cpp).
  bool HandOff(int32_t i);
  bool EncodeAndStage(const uint8_t* pcm, int64_t bytes);
  // Writing frames into the take's files (RecorderFrames.cpp).
  bool SetupPreRecord();
  bool WritePreRecorded();
  bool WriteFrames(const uint8_t* pcm, int64_t frames);
  int64_t FileRoom() const;
  bool FileFull() const;
  bool NextFile();
  bool OpenEncoder();
  void MoveCutPoint(int32_t i);
  void FlushEncoder();
  // The tick (MonitorLoop.cpp).
  bool CaptureWork();
  bool FindServedBuffer(int32_t& i, uint32_t& flags);
  bool CollectBuffer(int32_t i, bool& requeued);
  void ReportStall(int32_t i);
  bool CheckFileLimit(int64_t position);
  bool AutoRecord(int32_t peak, int64_t newestFrame);
  bool FailInCapture(int32_t code = 0, bool logOnly = false);
  void RestartMonitoring();

  WaveBackend& devices_;
  RecorderView& view_;
  Settings& settings_;
  CaptureRing ring_;
  CaptureFormat capture_;
  LevelState levels_;
  RecordingState state_;
  LoopState loop_;
  DiskWriter writer_{state_.counters};
  PreRecord preRecord_;
  C_mp3acm codec_;
  std::vector<uint8_t> mp3Out_;
  int64_t capturedFrames_ = 0;
};

}  // namespace lumora
