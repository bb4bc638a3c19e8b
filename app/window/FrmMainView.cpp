// What the recorder shows on the window.

#include <algorithm>

#include "app/window/DialogPresenter.h"
#include "app/window/FrmMain.h"
#include "controls/UC_Bar.h"
#include "controls/UC_Buttons.h"
#include "controls/UC_Check.h"
#include "controls/UC_TextPicture.h"
#include "meters/ui/MeterPicture.h"
#include "support/TimeText.h"

namespace lumora {

void FrmMain::SetRecButtonOn(int32_t index, int32_t value) {
  c_.RecButtons->SetButtonOn(static_cast<int16_t>(index), value, 1);
}

void FrmMain::SetInputMonitorEnabled(bool enabled) { c_.CheckInputMon->SetEnabled(enabled); }

void FrmMain::ShowFileName(const std::string& name) { c_.PicFN->DispMes(0, QString::fromStdString(name)); }

// Tally output 2 lights while recording.
void FrmMain::SetRecordingTally(bool on) { remote_.SetTallyOutput(2, on); }

void FrmMain::SetRecTimeColours(int32_t colourSet) { c_.TextInfo[0]->SetColor(colourSet == 1 ? 1 : 0, 1); }

void FrmMain::ShowRecTime(const std::string& text) {
  c_.TextInfo[0]->DispMes(0, QString::fromStdString(text));
}

void FrmMain::ShowSliderValue(int32_t k, const std::string& text) {
  c_.TextValue[static_cast<size_t>(k)]->DispMes(0, QString::fromStdString(text));
}

void FrmMain::SetRecordedExtent(int64_t frames) { SetPositionMax(frames); }

void FrmMain::ClearInputLevels() {
  vu_[0].ResetVU(-1);
  history_[0].Clear();
}

void FrmMain::StopPlaybackForTake(const std::string& /*zeroTimeText*/) {
  if (transport_->PlayRequested()) transport_->PlayStop(1);
  transport_->HeadHome();
}

std::string FrmMain::SaveFileDialog(const std::string& folder, const std::string& filterLabel,
                                    const std::string& pattern) {
  return dialogs_->File(true, filterLabel + "|" + pattern, folder, "", -1);
}

// A take starts without the warnings of the last; its next files keep them.
void FrmMain::TakeOpened(const std::string& /*path*/) {
  if (recorder_->State().FilePart == 1) c_.TextWarn->DispMes(0, {});
}

// How much audio is missing, as long as the time displays show it.
void FrmMain::TakeLostFrames(const std::string& /*path*/, int64_t frames) {
  const int64_t ms = frames * 1000 / recorder_->Capture().format.nFreq;
  const std::string text = "音声欠落 " + TimeText(static_cast<int32_t>(std::min<int64_t>(ms, INT32_MAX)), 1);
  c_.TextWarn->DispMes(0, QString::fromStdString(text));
}

void FrmMain::DiskSpaceLow(int64_t seconds) {
  const std::string left = seconds < 60 ? "1分未満" : "約" + std::to_string(seconds / 60) + "分";
  c_.TextWarn->DispMes(0, QString::fromStdString("残り録音時間 " + left));
}

}  // namespace lumora

namespace lumora {

// The play button lit while playing, half lit while paused.
void FrmMain::SetPlayButtonLook(PlayButtonLook look) {
  const int32_t values[] = {0, 2, 1};
  c_.PlayButtons->SetButtonOn(2, values[static_cast<int>(look)], 1);
}

void FrmMain::SetPositionMax(int64_t frames) {
  c_.ProgBar->SetMax(static_cast<int32_t>(std::min<int64_t>(frames, INT32_MAX)));
  c_.ProgBar->SetValue(c_.ProgBar->Value());
}

void FrmMain::SetPosition(int64_t frames) {
  c_.ProgBar->SetValue(static_cast<int32_t>(std::min<int64_t>(frames, INT32_MAX)));
}

void FrmMain::ShowPlayTime(const std::string& text) {
  c_.TextInfo[1]->DispMes(0, QString::fromStdString(text));
}

void FrmMain::ClearPlaybackLevels() {
  vu_[1].ResetVU(-1);
  history_[1].Clear();
}

}  // namespace lumora
