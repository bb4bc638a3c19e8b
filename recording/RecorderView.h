#pragma once
// Everything a take does to the window: button looks, panel texts and colour
// sets, the file-name panel, the monitor box, the tally light, the save dialog.
// The window implements it, tests fake it, and lumora-rec prints the events.
// Messages to the user go through CenteredMessageBox, not through this view.

#include <cstdint>
#include <string>

namespace lumora {

class RecorderView {
 public:
  virtual ~RecorderView() = default;

  // RecButtons: SetButtonOn(index, value): 0 off, 2 on (the record button is 1).
  virtual void SetRecButtonOn(int32_t index, int32_t value) = 0;
  // CheckInputMon: enabled or greyed out while a take runs.
  virtual void SetInputMonitorEnabled(bool enabled) = 0;
  // PicFN: the file name (base, ".", extension) of the current take.
  virtual void ShowFileName(const std::string& name) = 0;
  // The caption lock: no dragging of the window while a take runs.
  virtual void SetCaptionLock(bool on) = 0;
  // The remote's recording tally light.
  virtual void SetRecordingTally(bool on) = 0;
  // TextInfo(0): colour set 0 idle, 1 recording, and the elapsed time text.
  virtual void SetRecTimeColours(int32_t colourSet) = 0;
  virtual void ShowRecTime(const std::string& text) = 0;
  // TextValue(k) beside the automatic-recording sliders HScrollRec(k).
  virtual void ShowSliderValue(int32_t k, const std::string& text) = 0;
  // ProgBar: the recorded extent in frames.
  virtual void SetRecordedExtent(int64_t frames) = 0;
  // PictureWave(0) cleared and the input meter reset (ResetVU(-1)).
  virtual void ClearInputLevels() = 0;
  // Playback: stop it if it runs, and show position 0 (ProgBar value, TextInfo(1)).
  virtual void StopPlaybackForTake(const std::string& zeroTimeText) = 0;
  // The save dialog opening in folder; label and pattern of its one filter.
  // Returns the chosen path, empty when cancelled.
  virtual std::string SaveFileDialog(const std::string& folder, const std::string& filterLabel,
                                     const std::string& pattern) = 0;

  // Take events, for front ends that report them (lumora-rec prints them).
  virtual void TakeOpened(const std::string& /*path*/) {}
  virtual void TakeWriting(const std::string& /*path*/) {}
  virtual void TakeStopped(const std::string& /*path*/, int64_t /*framesInFile*/) {}
  // A warning to show: `frames` of audio the device could not deliver (the
  // program was stalled for longer than the capture ring holds) are missing
  // from the take's file at this point.
  virtual void TakeLostFrames(const std::string& /*path*/, int64_t /*frames*/) {}
  // A warning to show: the disk of the take's file holds only `seconds` more of
  // the take (under five minutes). Said once, and again only after the space
  // had come back.
  virtual void DiskSpaceLow(int64_t /*seconds*/) {}
};

// A view that shows nothing: for front ends without a window.
class SilentRecorderView : public RecorderView {
 public:
  void SetRecButtonOn(int32_t, int32_t) override {}
  void SetInputMonitorEnabled(bool) override {}
  void ShowFileName(const std::string&) override {}
  void SetCaptionLock(bool) override {}
  void SetRecordingTally(bool) override {}
  void SetRecTimeColours(int32_t) override {}
  void ShowRecTime(const std::string&) override {}
  void ShowSliderValue(int32_t, const std::string&) override {}
  void SetRecordedExtent(int64_t) override {}
  void ClearInputLevels() override {}
  void StopPlaybackForTake(const std::string&) override {}
  std::string SaveFileDialog(const std::string&, const std::string&, const std::string&) override {
    return {};
  }
};

}  // namespace lumora
