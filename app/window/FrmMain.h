#pragma once
// The main window: it owns the recorder (and with it the capture ring, the
// take and the level state), the controls and the recording timer TimerRec,
// and shows what the core tells it through RecorderView. Handlers only set
// pending flags or call the core; the decisions live in the core.
//
// The program's start is the constructor plus FormLoad (the session is chosen
// before, in SessionStart.h); its end is FormUnload, run by closing the window.

#include <QMainWindow>
#include <QTimer>
#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "meters/ui/C_VU.h"
#include "meters/ui/LevelHistoryDisplay.h"
#include "playback/PlayEngine.h"
#include "playback/PlayTransport.h"
#include "playback/PlayView.h"
#include "playback/RecorderPlaySession.h"
#include "recording/Recorder.h"
#include "recording/RecorderView.h"
#include "remote/CommandTarget.h"
#include "remote/Functions.h"
#include "remote/Remote.h"

class QAction;
class QComboBox;
class QMenu;

namespace lumora {

class FacePanel;
class MeterPanel;
class MeterPicture;
class UC_Bar;
class UC_Buttons;
class UC_Check;
class UC_Slider;
class UC_TextPicture;

class DialogPresenter;
class Settings;
class WaveBackend;

// "SizeRate" as the layout takes it: 0.7 ... 3.0.
float ClampSizeRate(float rate);

// The controls of the window, by their names. Face is the window's own
// painted background, PictureF the two setting panels on it.
struct MainControls {
  FacePanel* Face = nullptr;
  std::array<MeterPanel*, 2> PictureWaveP{}, PictureVUP{};
  std::array<MeterPicture*, 2> PictureWave{}, PictureVU{};
  std::array<FacePanel*, 2> PictureF{};
  std::array<QComboBox*, 2> ComboDev{};
  std::array<QComboBox*, 3> ComboFmt{};
  QComboBox* ComboBitRate = nullptr;
  UC_Check* CheckModemp3 = nullptr;
  std::array<UC_Slider*, 2> LevelSlider{};
  std::array<UC_TextPicture*, 2> TextLevel{};
  std::array<UC_Slider*, 3> HScrollRec{};
  std::array<UC_TextPicture*, 3> TextValue{};
  UC_Check* CheckUseTH = nullptr;
  UC_Check* CheckSequential = nullptr;
  UC_Check* CheckInputMon = nullptr;
  UC_Buttons* RecButtons = nullptr;
  std::array<UC_TextPicture*, 2> TextInfo{};
  UC_Buttons* PlayButtons = nullptr;
  UC_Bar* ProgBar = nullptr;
  UC_TextPicture* PicFN = nullptr;
  // Warnings of the take (lost audio, a disk running low), beside 登録.
  UC_TextPicture* TextWarn = nullptr;
  UC_Buttons* RegButton = nullptr;
  QAction* MenuConf = nullptr;
  QAction* MenuMixer = nullptr;
  std::array<QAction*, 2> MenuHelp{};
  QMenu* MenuRC = nullptr;
  QAction* MenuRMSP3 = nullptr;
};

class FrmMain final : public QMainWindow, public RecorderView, public PlayView, public CommandTarget {
  Q_OBJECT
 public:
  // The settings' session is fixed already; hid is where the remote box is
  // looked for. dialogs null: the real boxes and dialogs over this window.
  FrmMain(Settings& settings, WaveBackend& devices, HidTransport& hid, DialogPresenter* dialogs = nullptr);
  ~FrmMain() override;

  // The start sequence from the caption on; with runTimer the recording timer
  // then runs by itself (tests call Tick instead).
  void FormLoad(bool runTimer = true);
  // One tick of TimerRec; returns the interval until the next.
  int32_t Tick();
  // The shutdown sequence; false when the user chose to keep the window open.
  bool FormUnload();

  // Commands of the window (the controls' events end here).
  void RecButtonsClick(int32_t index);
  void MenuConfClick();
  void MenuMixerClick();
  void MenuHelpClick(int32_t index);
  void MenuRMSP3Click();
  void RegisterRecording();
  void RefreshMp3Options();
  void ShowVersionInfo();
  void PicFNClick();
  // F1 ... F12 (Qt key codes), whichever control has the focus.
  void FormKeyUp(int key);

  // The configuration dialog, opened modally over the window by 設定(&C) while
  // nothing records or plays. Until one is installed the menu item does nothing.
  using ConfDialogOpener = std::function<void(FrmMain&)>;
  void SetConfDialogOpener(ConfDialogOpener opener) { confOpener_ = std::move(opener); }

  // What the configuration dialog edits and restarts: the key and remote
  // assignments, and the remote from the settings (InitHID).
  ControlMaps& Maps() { return maps_; }
  void RestartRemote();
  // The level history's magnification ("WaveRate"), taken at once.
  void SetWaveRate(float rate);

  Recorder& recorder() { return *recorder_; }
  PlayTransport& transport() { return *transport_; }
  Settings& settings() { return settings_; }
  const MainControls& controls() const { return c_; }
  float SizeRate() const { return sizeRate_; }
  int32_t Tpp() const { return tpp_; }
  bool ErrorCatch() const { return errorCatch_; }

  // RecorderView.
  void SetRecButtonOn(int32_t index, int32_t value) override;
  void SetInputMonitorEnabled(bool enabled) override;
  void ShowFileName(const std::string& name) override;
  void SetCaptionLock(bool on) override { captionLock_ = on; }
  void SetRecordingTally(bool on) override;
  void SetRecTimeColours(int32_t colourSet) override;
  void ShowRecTime(const std::string& text) override;
  void ShowSliderValue(int32_t k, const std::string& text) override;
  void SetRecordedExtent(int64_t frames) override;
  void ClearInputLevels() override;
  void StopPlaybackForTake(const std::string& zeroTimeText) override;
  std::string SaveFileDialog(const std::string& folder, const std::string& filterLabel,
                             const std::string& pattern) override;
  void TakeOpened(const std::string& path) override;
  void TakeLostFrames(const std::string& path, int64_t frames) override;
  void DiskSpaceLow(int64_t seconds) override;

  // CommandTarget: what the function keys and the remote press.
  bool IsRecording() const override { return recorder_->State().IsRecording != 0; }
  bool IsPlaying() const override { return transport_->PlayRequested() != 0; }
  void ClickRecButton(int32_t index) override { RecButtonsClick(index); }
  void ClickPlayButton(int32_t index) override { transport_->PlayButtonClick(index); }
  void ClickRegButton() override { RegisterRecording(); }
  void HeadPlus() override { transport_->HeadPlus(); }
  void HeadMinus() override { transport_->HeadMinus(); }
  void HeadHome() override { transport_->HeadHome(); }

  // PlayView.
  void SetPlayButtonLook(PlayButtonLook look) override;
  void SetPositionMax(int64_t frames) override;
  void SetPosition(int64_t frames) override;
  void ShowPlayTime(const std::string& text) override;
  void ClearPlaybackLevels() override;

 protected:
  void closeEvent(QCloseEvent* event) override;
  bool eventFilter(QObject* watched, QEvent* event) override;

 private:
  // Layout (FrmMainLayout.cpp).
  void CreateControls();
  void CreateMenus();
  void LayOut();
  void PlaceLabels();
  void SetUpTextPanels();
  void SetUpRegButton();
  void SkinCheck(UC_Check* box, const char* caption, int32_t value);
  void SkinSlider(UC_Slider* slider, int32_t min, int32_t max, int32_t value);
  void SetUpMeters();
  // The level histories follow each side's format (a take, monitoring or
  // playback set it up).
  void FollowHistoryFormats();
  int32_t Px(double twips) const;
  // Start (FrmMain.cpp).
  void ChooseErrorCatch();
  void RaisePriority();
  void FillFormatSelectors();
  void FillDeviceSelectors();
  void SetUpSliders();
  void SetUpChecks();
  void SetUpMp3();
  void RestorePlacement();
  // Shutdown (FrmMainClose.cpp).
  void SaveSettings();
  // Commands (FrmMainCommands.cpp).
  void ConnectControls();
  void LevelSliderChange(int32_t index);
  void LevelSliderReset(int32_t index);
  void HScrollRecChange(int32_t k);
  void InputMonClick();
  void SyncSelectors();
  void SyncControls();
  bool Busy() const { return IsRecording() || IsPlaying(); }

  Settings& settings_;
  WaveBackend& devices_;
  std::unique_ptr<DialogPresenter> ownDialogs_;
  DialogPresenter* dialogs_;
  std::unique_ptr<Recorder> recorder_;
  Remote remote_;
  ControlMaps maps_;
  std::unique_ptr<RecorderPlaySession> playSession_;
  std::unique_ptr<PlayEngine> engine_;
  std::unique_ptr<PlayTransport> transport_;
  std::array<C_VU, 2> vu_;
  std::array<LevelHistoryDisplay, 2> history_;
  std::array<SampleFormat, 2> historyFormat_{SampleFormat{0, 0, 0}, SampleFormat{0, 0, 0}};  // none laid out yet
  MainControls c_;
  QTimer TimerRec;
  bool runTimer_ = false;
  bool loaded_ = false;
  bool unloaded_ = false;
  bool errorCatch_ = false;
  bool captionLock_ = false;
  float sizeRate_ = 1.0f;
  float waveRate_ = 1.0f;
  int32_t tpp_ = 15;
  int32_t meterShiftPx_ = 0;  // how much taller the meters are than their design height
  int32_t bottomTwips_ = 0;
  int32_t lastBitRate_ = 0;  // kbit/s, 0: none chosen yet
  ConfDialogOpener confOpener_;
};

}  // namespace lumora
