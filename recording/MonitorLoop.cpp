// The tick of the recording timer: deferred start and stop, at most one captured
// buffer per tick, the level, automatic start and stop, the time display.

#include <algorithm>
#include <string>

#include "platform/WaveError.h"
#include "recording/Recorder.h"
#include "support/Clock.h"
#include "support/EventPump.h"
#include "support/FileSystem.h"
#include "support/Log.h"
#include "support/Rounding.h"
#include "support/TimeText.h"

namespace lumora {

namespace {

// How often a running take looks at the free space: often enough to warn
// minutes ahead, rarely enough to cost the tick nothing.
constexpr double kDiskCheckSeconds = 5.0;

}  // namespace

int32_t Recorder::Tick() {
  DoEvents();
  const double now = ActiveClock().MonotonicSeconds();
  const double elapsedMs = (now - loop_.lastTickTime) * 1000.0;
  loop_.lastTickTime = now;
  loop_.TickBudget = elapsedMs < 40.0 ? 40.0f : static_cast<float>(std::max(1.0, 80.0 - elapsedMs));
  const auto interval = static_cast<int32_t>(RoundHalfEven(loop_.TickBudget));
  const bool remoteActed = remotePoll && remotePoll() != 0;
  if (loop_.pendingStart) {
    loop_.pendingStart = false;
    RecordCommand(1);
  } else if (loop_.pendingStop) {
    loop_.pendingStop = false;
    RecordCommand(2);
  } else if (!remoteActed) {
    const bool capturing = state_.IsMonitoring == 1 || state_.IsRecording == 1;
    if ((!capturing || CaptureWork()) && playbackStep) playbackStep(loop_.TickBudget != 1.0f);
  }
  if (state_.IsRecording == 1 && now - loop_.DiskCheckClock >= kDiskCheckSeconds) CheckDiskSpace();
  return interval;
}

// Returns false when the tick ends early.
bool Recorder::CaptureWork() {
  ReportLostFrames();
  int32_t i = ring_.NextBuffer();
  if (ring_.BufferStatus(i) == kBufferCollected) return false;
  uint32_t flags = 0;
  if (!FindServedBuffer(i, flags)) return false;
  bool requeued = false;
  if (flags & kWaveDone) {
    if (!CollectBuffer(i, requeued)) return false;
  } else {
    ReportStall(i);
  }
  int64_t position = 0;
  if (const int32_t code = ring_.Position(position); code != 0) {
    // The device vanished: say so, and stop the take with what it has.
    return FailInCapture(code, false);
  }
  if (!CheckFileLimit(position)) return false;
  // A full scan serves only the meter and the history; without them the peak
  // of the last 60 ms is all automatic recording needs.
  const bool display = scanOutputs.meter || scanOutputs.history;
  const bool peakOnly = loop_.TickBudget == 1.0f || !display;
  // The position counts the frames captured, so the newest one is position - 1;
  // the place of frame `position` in the buffer being filled still holds audio
  // from a lap of the ring ago, which would keep an ended sound "loud".
  const int64_t newest = position - 1;
  const int32_t peak = ScanLevels(levels_, LevelSide::kInput, ring_.Frames(), newest, peakOnly,
                                  {scanOutputs.meter, scanOutputs.history, true});
  if (controls.CheckUseTH == 1 && !AutoRecord(peak, newest)) return false;
  if (requeued) {
    const int64_t takeFrames = state_.FramesBefore + state_.counters.FramesWritten;
    const double ms = static_cast<double>(takeFrames) / capture_.format.nFreq * 1000.0;
    view_.ShowRecTime(TimeText(static_cast<int32_t>(RoundHalfEven(ms)), 1));
    view_.SetRecordedExtent(state_.counters.FramesFlushed);
    ring_.MarkRequeued(i);
  }
  return true;
}

// The buffer to serve: queued or done. Buffers that are neither are passed
// over as dead; when all 50 are, the take is stopped.
bool Recorder::FindServedBuffer(int32_t& i, uint32_t& flags) {
  for (int32_t tries = 0; tries < kCaptureBuffers; ++tries) {
    flags = ring_.Flags(i);
    const int32_t status = ring_.BufferStatus(i);
    if (status >= kBufferQueued && (flags & (kWaveDone | kWaveInQueue))) return true;
    Log("バッファ死亡 " + std::to_string(i) + "#" + std::to_string(status) + "#" + std::to_string(flags));
    i = (i + 1) % kCaptureBuffers;
  }
  Log("全バッファ死亡");
  if (state_.IsRecording == 1) StopOnError(WaveErrorText(kWaveUnspecified, false));
  return false;
}

bool Recorder::CollectBuffer(int32_t i, bool& requeued) {
  ring_.Collect(i);
  loop_.StallCount = 0;
  if (state_.IsRecording == 1) capturedFrames_ += state_.FramesPerBuffer;
  const bool preRecording = state_.armed == 1 && preRecord_.Enabled();
  if (state_.IsRecording == 1 && (state_.writing == 1 || preRecording) && !HandOff(i)) return false;
  const uint32_t flags = ring_.Flags(i);
  if (flags & kWaveInQueue) {
    Log("already added " + std::to_string(i) + "#" + std::to_string(ring_.BufferStatus(i)) + "#" +
        std::to_string(flags));
    return true;
  }
  const int32_t code = ring_.Requeue(i);
  if (code != 0) return FailInCapture(code, true);
  requeued = true;
  return true;
}

void Recorder::ReportStall(int32_t i) {
  ++loop_.StallCount;
  if (state_.IsRecording != 1) return;
  if (ring_.BytesRecorded(i) == ring_.BufferBytes() && loop_.StallCount > 10) {
    Log(std::to_string(i) + " Buffer Filled,NoDoneMarked=" + std::to_string(loop_.StallCount));
  }
  if (loop_.StallCount > 20) {
    Log("音飛び警告 A:" + std::to_string(i) + "#" + std::to_string(loop_.StallCount));
  }
}

// A take ends before its file can pass 4 GiB: a WAV file ten seconds short of
// it by its frames, an MP3 file (hours longer) by its bytes. The limit counts
// what is in the file, so an armed take may wait in silence for as long as it
// likes; monitoring alone restarts at the limit of the device position.
bool Recorder::CheckFileLimit(int64_t position) {
  if (state_.IsRecording == 1 && controls.ContinueAtLimit == 1) return true;  // it goes on in the next file
  int64_t used = position;
  int64_t limit = state_.MaxFramesPerFile;
  if (state_.IsRecording == 1 && state_.Mp3Mode == 1) {
    used = state_.Mp3BytesWritten;
    limit = state_.MaxMp3BytesPerFile;
  } else if (state_.IsRecording == 1) {
    used = state_.counters.FramesWritten;
  }
  if (used <= limit) return true;
  Log("DW2C(tm.u)=" + std::to_string(used));
  return FailInCapture();
}

// A device error (code) or the limit: monitoring restarts, a take is stopped,
// and a take stopped by an error says so whatever logOnly asks.
bool Recorder::FailInCapture(int32_t code, bool logOnly) {
  if (state_.IsRecording == 1 && code != 0) {
    StopOnError(WaveErrorText(code, false));
  } else if (state_.IsRecording == 1) {
    loop_.pendingStop = true;
  } else if (state_.IsMonitoring == 1) {
    WaveErrorReport(code, false, logOnly);
    RestartMonitoring();
  }
  return false;
}

// The device closed and opened again with fresh buffers (setting the buffers up
// closes it), with a pause between for the device to settle.
void Recorder::RestartMonitoring() {
  InputMonitorClicked();
  WaitEvents(100, 10);
  InputMonitorClicked();
}

bool Recorder::AutoRecord(int32_t peak, int64_t newestFrame) {
  const double now = ActiveClock().MonotonicSeconds();
  if (peak > levels_.thresholds.start && state_.armed == 1) {
    state_.writing = 1;
    state_.armed = 0;
    view_.TakeWriting(state_.names.RecFileName);
    if (!WritePreRecorded()) {
      StopOnWriteFailure();
      return false;
    }
  }
  if (state_.armed == 1 || state_.writing != 1) {
    loop_.SilenceClock = -1.0;
    return true;
  }
  if (peak > levels_.thresholds.end) {
    state_.TrimFrames = state_.counters.FramesWritten;
    state_.Mp3TrimBytes = state_.Mp3BytesWritten;
    state_.lastLoudFrame = newestFrame;
  } else if (loop_.SilenceClock < 0) {
    loop_.SilenceClock = now;
  } else if (controls.HScrollRec[2] * 0.1 <= now - loop_.SilenceClock + 1e-6) {  // 1 us: clock steps
    state_.writing = 0;
    RecordCommand(2);
    if (controls.CheckSequential == 1) loop_.pendingStart = true;
    return false;
  }
  return true;
}

}  // namespace lumora
