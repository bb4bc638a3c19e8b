#include "recording/Recorder.h"

#include <algorithm>
#include <new>

#include "formats/MpegFrames.h"
#include "formats/Wav.h"
#include "platform/WaveError.h"
#include "recording/TakeFormat.h"
#include "support/Clock.h"
#include "support/FileSystem.h"
#include "support/Log.h"
#include "support/MessageBox.h"
#include "support/Rounding.h"
#include "support/TimeText.h"

namespace lumora {

namespace {

// The bit-rate text counts as numeric when it is a whole number of kbit/s.
bool IsWholeNumber(const std::string& text) {
  if (text.empty() || text.size() > 9) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

constexpr const char* kWriteFailed = "書き込み失敗";

}  // namespace

Recorder::Recorder(WaveBackend& devices, RecorderView& view, Settings& settings)
    : devices_(devices), view_(view), settings_(settings) {
  loop_.lastTickTime = ActiveClock().MonotonicSeconds();
}

void Recorder::RecordCommand(int32_t action) {
  if (action == 1) {
    StartTake();
  } else if (action == 2) {
    StopTake();
  } else if (action == 0 && !state_.IsRecording) {
    const std::string extension = DecideMp3Mode() ? "mp3" : "wav";
    std::string recDir = settings_.ReadSetting("RecDir", "");
    if (ChooseRecFile(view_, extension, recDir, state_.names)) settings_.WriteSetting("RecDir", recDir);
  }
}

bool Recorder::DecideMp3Mode() const {
  return IsWholeNumber(controls.ComboBitRate) && controls.CheckModemp3Enabled && controls.CheckModemp3 == 1;
}

// Format, level geometry and buffers for a take or for monitoring. False, with
// the reason shown, for a format no device takes (nothing is sized for it) or
// buffers the machine cannot hold.
bool Recorder::SetupCapture(bool mp3Mode) {
  SetupFormat(selectors, devices_, capture_);
  int32_t code = CheckWaveFormat(capture_.record);
  if (code == 0) {
    state_.MaxFramesPerFile = MaxFramesPerFileFor(capture_.format);
    state_.MaxMp3BytesPerFile = MaxMp3BytesPerFileFor(state_.Mp3Kbps);
    state_.FramesPerBuffer = FramesPerBufferFor(capture_.format, mp3Mode);
    try {
      levels_.SetupFormat(capture_.format);
      writer_.Setup(StageCapacityFor(capture_.format, mp3Mode, state_.Mp3Kbps), !mp3Mode);
      if (!ring_.SetupCaptureBuffers(capture_.record, state_.FramesPerBuffer)) code = kWaveNoMemory;
    } catch (const std::bad_alloc&) {
      code = kWaveNoMemory;
    }
  }
  WaveErrorReport(code, false, false);
  return code == 0;
}

// A fresh encoder stream for the take's format, so every file of a take is a
// stream of its own. A take whose encoder cannot open would write nothing at
// all: it says so and does not start (or go on).
bool Recorder::OpenEncoder() {
  WaveFileInfo info;
  info.sampleRate = capture_.format.nFreq;
  info.bitsPerSample = capture_.format.nBit;
  info.channels = capture_.format.nCh;
  info.blockAlign = capture_.format.BlockAlign();
  info.formatIndex = capture_.formatIndex;
  int32_t ok = 0;
  codec_.AcmClose();
  codec_.EncInit(state_.Mp3Kbps, &info, ok);
  if (ok != 1) StopOnError("mp3エンコーダーを開けません");
  return ok == 1;
}

void Recorder::StartTake() {
  if (state_.IsRecording) {
    view_.SetRecButtonOn(1, 2);
    return;
  }
  Log("録音開始");
  view_.StopPlaybackForTake(TimeText(0, 1));
  if (state_.IsMonitoring) {
    ring_.CloseCapture();
    state_.IsMonitoring = 0;
  }
  view_.SetInputMonitorEnabled(false);
  state_.counters = {};
  const bool mp3 = DecideMp3Mode();
  state_.Mp3Mode = mp3 ? 1 : 0;
  state_.Mp3Kbps = mp3 ? std::stoi(controls.ComboBitRate) : 0;
  state_.TrimFrames = state_.Mp3TrimBytes = state_.Mp3BytesWritten = 0;
  loop_.StallCount = 0;
  if (!SetupCapture(mp3) || !SetupPreRecord()) return AbortStart();
  if (mp3 && !OpenEncoder()) return AbortStart();
  NameForTake(state_.names, controls.CheckSequential == 1, controls.DataPath, mp3 ? "mp3" : "wav");
  levels_.thresholds =
      UpdateLevelThresholds(controls.HScrollRec[0], controls.HScrollRec[1], capture_.format.nBit);
  if (!ring_.OpenCapture(devices_, capture_.inputDevice)) return AbortStart();
  if (!OpenTakeFile()) {
    ring_.CloseCapture();
    return AbortStart();
  }
  view_.ShowFileName(DisplayFileName(state_.names.RecFileName));
  view_.SetCaptionLock(true);
  state_.IsRecording = 1;
  view_.SetRecButtonOn(1, 2);
  view_.SetRecordingTally(true);
  view_.SetRecTimeColours(1);
  loop_.SilenceClock = -1.0;
  state_.armed = controls.CheckUseTH == 1 ? 1 : 0;
  state_.writing = 1 - state_.armed;
  state_.lastLoudFrame = -1;
  state_.writeFailed = state_.failed = false;
  state_.LostFrames = 0;
  state_.FirstFileName = state_.names.RecFileName;
  state_.FilePart = 1;
  state_.FramesBefore = 0;
  state_.cutBeforeFile = false;
  view_.TakeOpened(state_.names.RecFileName);
  state_.diskWarned = false;
  CheckDiskSpace();
  Log("録音開始成功");
}

// Claims the take's file, replacing an old file of the name that no other take
// holds. A numbered name is created exclusively: when another recorder on the
// folder took it first, the next free number is tried.
bool Recorder::OpenTakeFile() {
  const bool sequential = controls.CheckSequential == 1;
  TakeClaim claim = TakeClaim::kTaken;
  for (int32_t tries = 0; claim == TakeClaim::kTaken && tries < 100; ++tries) {
    if (tries > 0) NameForTake(state_.names, sequential, controls.DataPath, state_.Mp3Mode ? "mp3" : "wav");
    claim = writer_.OpenFile(state_.names.RecFileName, sequential, capture_.format);
  }
  state_.counters.FramesWritten = 0;
  if (claim == TakeClaim::kClaimed) return true;
  const std::string& name = state_.names.RecFileName;
  Log("録音ファイルを作成できません " + name, 1);
  CenteredMessageBox(std::string(kWriteFailed) + "\n" + name, kCritical);
  return false;
}

// A take that could not start leaves the monitor as it was before.
void Recorder::AbortStart() {
  codec_.AcmClose();
  view_.SetInputMonitorEnabled(true);
  if (controls.CheckInputMon == 1) InputMonitorClicked();
}

// The file is finished before the device closes: a device that hangs in its
// close must not hold back the staged audio.
void Recorder::StopTake() {
  if (!state_.IsRecording) return;
  view_.SetCaptionLock(false);
  view_.SetInputMonitorEnabled(true);
  ReportLostFrames();
  state_.IsRecording = 0;
  view_.SetRecButtonOn(1, 0);
  view_.SetRecordingTally(false);
  FinishTakeFile();
  ring_.CloseCapture();
  if (state_.FilePart > 1) {  // the next take starts from the first file's name
    state_.names.RecFileName = state_.FirstFileName;
    view_.ShowFileName(DisplayFileName(state_.FirstFileName));
  }
  state_.TrimFrames = 0;
  view_.SetRecordedExtent(state_.counters.FramesFlushed);
  view_.ClearInputLevels();
  levels_.ResetHistory(LevelSide::kInput);
  view_.SetRecTimeColours(0);
  if (controls.CheckInputMon == 1) InputMonitorClicked();
}

// The last flush and the final cut: back to the last loud moment, or the header
// repaired once more; a take that holds nothing leaves no file (armed and never
// written, or a full disk from the start).
void Recorder::FinishTakeFile() {
  const std::string& name = state_.names.RecFileName;
  // The encoder's last frames belong behind the last bytes on disk, so not
  // after a refused write, nor when the take is cut back anyway.
  if (state_.Mp3Mode && state_.Mp3TrimBytes == 0 && !state_.writeFailed) FlushEncoder();
  codec_.AcmClose();
  if (!writer_.WriteDiskBuffer(nullptr, 0, "", 1)) StopOnWriteFailure();
  // A file deleted, replaced or cut from outside is not the take's to cut.
  const bool intact = writer_.FileIntact();
  if (!intact) StopOnWriteFailure();
  int64_t framesInFile = 0;
  const bool cutToNothing = state_.cutBeforeFile && state_.TrimFrames == 0;
  if (intact && state_.counters.FramesWritten > 0 && !cutToNothing) {
    framesInFile = state_.Mp3Mode ? FinishMp3File(name) : FinishWavFile(name);
  }
  const bool remove = intact && framesInFile == 0;
  if (!writer_.CloseFile(remove) && !remove) StopOnWriteFailure();
  view_.TakeStopped(name, framesInFile);
}

// Cuts a WAV take back to its trim point, or repairs its header once more;
// returns the frames it holds.
int64_t Recorder::FinishWavFile(const std::string& name) {
  const WaveFileInfo info = ReadWaveFileInfo(name);
  const int64_t trimBytes = state_.TrimFrames * capture_.format.BlockAlign();
  // Never "cut" past the data on disk: after a failed append that would pad
  // the take with zeros.
  if (state_.TrimFrames >= 1 && info.valid && trimBytes <= info.dataSize) {
    SetWavDataLength(name, trimBytes);
    state_.counters.FramesFlushed = state_.TrimFrames;
  } else {
    TrimRiff(name);
  }
  return ReadWaveFileInfo(name).frames;
}

// A full disk, a refused write or a file changed from outside: the take stops
// rather than go on losing audio.
void Recorder::StopOnWriteFailure() {
  state_.writeFailed = true;
  StopOnError(kWriteFailed);
}

// A take that cannot go on says why, once, as a critical error (which tells a
// front end that the take failed), and stops.
void Recorder::StopOnError(const std::string& text) {
  if (state_.IsRecording == 1) loop_.pendingStop = true;
  if (state_.failed) return;
  state_.failed = true;
  Log(text, 1);
  CenteredMessageBox(text, kCritical);
}

// Audio the device could not deliver is gone; the take says so as soon as it
// knows, so a gap in the file never goes unnoticed.
void Recorder::ReportLostFrames() {
  const int64_t lost = ring_.LostFrames();
  if (state_.IsRecording != 1 || lost <= state_.LostFrames) return;
  const int64_t fresh = lost - state_.LostFrames;
  state_.LostFrames = lost;
  Log("録音欠落 " + state_.names.RecFileName + " " + std::to_string(fresh), 1);
  view_.TakeLostFrames(state_.names.RecFileName, fresh);
}

// Cuts an MP3 take at the end of its last whole frame, at or before the trim
// point; returns the sample frames it holds. Flushes are not frame-aligned, so
// without this a cut (or a refused write) would leave half a frame behind.
int64_t Recorder::FinishMp3File(const std::string& name) {
  const int64_t size = FileSizeByName(name);
  const int64_t limit = state_.Mp3TrimBytes > 0 ? std::min(state_.Mp3TrimBytes, size) : size;
  const MpegFrameSpan whole = WholeMpegFrames(name, limit);
  const int64_t cut = whole.bytes > 0 ? whole.bytes : limit;  // a stream we cannot walk: the plain cut
  if (cut < size) SetFileSize(name, cut);
  if (state_.Mp3TrimBytes > 0) {
    state_.Mp3TrimBytes = 0;
    state_.counters.FramesFlushed = state_.TrimFrames;
  }
  return whole.bytes > 0 ? whole.sampleFrames : state_.counters.FramesFlushed;
}

void Recorder::InputMonitorClicked() {
  if (state_.IsRecording) return;
  if (controls.CheckInputMon == 1) {
    state_.Mp3Mode = 0;
    if (SetupCapture(false) && ring_.OpenCapture(devices_, capture_.inputDevice)) state_.IsMonitoring = 1;
  } else {
    ring_.CloseCapture();
    state_.IsMonitoring = 0;
    view_.ClearInputLevels();
    levels_.ResetHistory(LevelSide::kInput);
  }
}

void Recorder::SliderChanged(int32_t k) {
  const int32_t value = controls.HScrollRec[static_cast<size_t>(k)];
  if (k == 2) {  // tenths of a second, "0.0" whatever the locale's decimal mark
    view_.ShowSliderValue(k, std::to_string(value / 10) + "." + std::to_string(value % 10) + "sec");
    return;
  }
  view_.ShowSliderValue(k, std::to_string(value) + "db");
  levels_.thresholds =
      UpdateLevelThresholds(controls.HScrollRec[0], controls.HScrollRec[1], capture_.format.nBit);
}

void Recorder::SetRecLevel(float db) { levels_.inputGain = {DbToLin(db), DbToLin(db)}; }

}  // namespace lumora
