// The window's start: the controls, then FormLoad's sequence from the caption
// to the recording timer.

#include "app/window/FrmMain.h"

#include <sys/resource.h>

#include <QApplication>
#include <QComboBox>
#include <QLocale>
#include <QScreen>
#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>

#include "app/window/DialogPresenter.h"
#include "app/window/ExternalPrograms.h"
#include "controls/FontRegistry.h"
#include "controls/Twips.h"
#include "controls/UC_Check.h"
#include "controls/UC_Slider.h"
#include "platform/WaveBackends.h"
#include "recording/FieldSettings.h"
#include "settings/DataFolder.h"
#include "settings/RunOptions.h"
#include "settings/Settings.h"
#include "settings/UserStore.h"
#include "settings/WindowPlacement.h"
#include "support/EventPump.h"
#include "support/FileSystem.h"
#include "support/Log.h"
#include "support/MessageBox.h"

namespace lumora {

namespace {

constexpr const char* kRates[] = {"192000", "96000", "88200", "48000", "44100", "32000",
                                  "24000",  "22050", "16000", "12000", "11025", "8000"};
constexpr const char* kBits[] = {"24bit", "16bit", "8bit"};
constexpr const char* kChannels[] = {"Stereo", "Mono"};
// A better priority for the timer; needs a privilege most users lack.
constexpr int kHighPriorityNice = -5;

template <size_t N>
void Fill(QComboBox* combo, const char* const (&entries)[N]) {
  for (const char* entry : entries) combo->addItem(QString::fromUtf8(entry));
}

// The drawn controls and the meters share one factor, read once.
int32_t ScreenTpp() {
  ReadTppFromScreen();
  return Tpp();
}

// Japanese systems read "LangMode"; nothing follows from it.
void DetectLanguage(const Settings& settings) {
  static bool done = false;
  if (done) return;
  done = true;
  if (QLocale::system().language() == QLocale::Japanese) settings.ReadWhole("LangMode");
}

}  // namespace

float ClampSizeRate(float rate) { return std::clamp(rate, 0.7f, 3.0f); }

FrmMain::FrmMain(Settings& settings, WaveBackend& devices, HidTransport& hid, DialogPresenter* dialogs)
    : settings_(settings), devices_(devices), remote_(hid), tpp_(ScreenTpp()) {
  if (!dialogs) ownDialogs_ = std::make_unique<QtDialogPresenter>(this, tpp_);
  dialogs_ = dialogs ? dialogs : ownDialogs_.get();
  SetMessagePresenter([this](const std::string& text, int32_t style, const std::string& title) {
    return dialogs_->Message(text, style, title);
  });
  SetEventPump([] { QCoreApplication::processEvents(); });
  recorder_ = std::make_unique<Recorder>(devices_, *this, settings_);
  playSession_ = std::make_unique<RecorderPlaySession>(*recorder_, devices_);
  engine_ = std::make_unique<PlayEngine>(devices_, *playSession_);
  transport_ = std::make_unique<PlayTransport>(*engine_, *this, *playSession_, &remote_);
  recorder_->playbackStep = [this](bool redraw) { transport_->Tick(redraw); };
  recorder_->scanOutputs = {&vu_[0], &history_[0], true};
  transport_->scanOutputs = {&vu_[1], &history_[1], true};
  recorder_->remotePoll = [this] { return remote_.RemoteOpen() ? remote_.PollRemote(maps_, *this) : 0; };
  CreateControls();
  ConnectControls();
  TimerRec.setTimerType(Qt::PreciseTimer);
  TimerRec.setSingleShot(true);
  connect(&TimerRec, &QTimer::timeout, this, [this] { Tick(); });
}

FrmMain::~FrmMain() {
  TimerRec.stop();
  // The devices close while the views still exist.
  transport_.reset();
  engine_.reset();
  recorder_.reset();
  SetEventPump(nullptr);
  SetMessagePresenter(nullptr);
}

void FrmMain::FormLoad(bool runTimer) {
  setWindowTitle(QString::fromStdString(settings_.Session().name + " - " + kMakerName));
  DetectLanguage(settings_);
  SetAltFont(settings_.ReadWhole("AltFont"));
  ChooseErrorCatch();
  PrepareLog(settings_);
  RaisePriority();
  sizeRate_ = ClampSizeRate(settings_.ReadDecimal("SizeRate"));
  waveRate_ = settings_.ReadDecimal("WaveRate");
  SetControlFont(this, -2, nullptr, 9.0f * sizeRate_, false, false, {});
  LayOut();
  FillFormatSelectors();
  FillDeviceSelectors();
  SetUpSliders();
  SetUpChecks();
  recorder_->controls.DataPath = ResolveDataPath(settings_);
  const bool rmsPlus3 = settings_.ReadWhole("RMSP3mon") != 0;
  c_.MenuRMSP3->setChecked(rmsPlus3);
  recorder_->SetRmsPlus3(rmsPlus3);
  transport_->levels.rmsPlus3 = rmsPlus3;
  SetUpMp3();
  RestorePlacement();
  SyncSelectors();
  for (int32_t k = 0; k < 3; ++k) HScrollRecChange(k);
  maps_ = LoadControlMaps(settings_);
  ResolveRegApp(settings_);
  RestartRemote();
  c_.CheckInputMon->SetValue(settings_.ReadShort("InputMon") == 1 ? 1 : 0);
  InputMonClick();
  setEnabled(true);
  loaded_ = true;
  runTimer_ = runTimer;
  if (runTimer_) TimerRec.start(10);
}

void FrmMain::RestartRemote() { remote_.InitHID(settings_); }

void FrmMain::ChooseErrorCatch() {
  errorCatch_ = settings_.ReadWhole("ErrorCatch") != 0 || FileExists(settings_.appFolder() + "ec.txt");
}

void FrmMain::RaisePriority() {
  if (settings_.ReadWhole("PriorityHigh") != 1) return;
  if (setpriority(PRIO_PROCESS, 0, kHighPriorityNice) != 0) {
    Log(std::string("PriorityHigh: ") + std::strerror(errno));
  }
}

void FrmMain::FillFormatSelectors() {
  Fill(c_.ComboFmt[0], kRates);
  c_.ComboFmt[0]->setCurrentIndex(c_.ComboFmt[0]->findText(QString::number(settings_.ReadWhole("nFreq"))));
  if (c_.ComboFmt[0]->currentText().toInt() < 100) c_.ComboFmt[0]->setCurrentText(QStringLiteral("44100"));
  Fill(c_.ComboFmt[1], kBits);
  const int16_t bits = settings_.ReadShort("nBit");
  c_.ComboFmt[1]->setCurrentIndex(bits == 16 ? 1 : bits == 8 ? 2 : 0);
  Fill(c_.ComboFmt[2], kChannels);
  c_.ComboFmt[2]->setCurrentIndex(settings_.ReadShort("nCh") == 2 ? 0 : 1);
}

void FrmMain::FillDeviceSelectors() {
  const char* keys[] = {"DeviceInName", "DeviceOutName"};
  for (int i = 0; i < 2; ++i) {
    DeviceListModel model;
    FillDeviceList(model, devices_, i == 0, settings_.ReadText(keys[i]), false);
    for (const std::string& entry : model.entries) c_.ComboDev[i]->addItem(QString::fromStdString(entry));
    c_.ComboDev[i]->setCurrentIndex(model.selected);
  }
  // Without an input device the built-in test signal stands in, chosen in plain sight.
  if (c_.ComboDev[0]->count() == 1 && c_.ComboDev[0]->itemText(0).toStdString() == kTestSignalInputName) {
    c_.ComboDev[0]->setCurrentIndex(0);
    Log("no input device found; the input selector offers the built-in test signal");
  }
}

void FrmMain::SetUpSliders() {
  const char* keys[] = {"RecLevel", "PlayLevel"};
  for (int i = 0; i < 2; ++i) {
    SkinSlider(c_.LevelSlider[i], -600, 200, static_cast<int32_t>(settings_.ReadDecimal(keys[i]) * 10.0f));
    LevelSliderChange(i);
  }
  const char* thresholds[] = {"StartLevel", "EndLevel", "EndTime"};
  for (size_t k = 0; k < 3; ++k) {
    SkinSlider(c_.HScrollRec[k], k == 2 ? 1 : -600, k == 2 ? 200 : 0, settings_.ReadWhole(thresholds[k]));
  }
}

void FrmMain::SetUpChecks() {
  SkinCheck(c_.CheckSequential, "連番録音", settings_.ReadShort("Sequential") == 1 ? 1 : 0);
  SkinCheck(c_.CheckUseTH, "入力検知録音", settings_.ReadShort("AutoRec") == 1 ? 1 : 0);
  SkinCheck(c_.CheckInputMon, "入力を表示", 0);
  SkinCheck(c_.CheckModemp3, "mp3", 0);               // its value comes with the MP3 options
  ReadFieldSettings(settings_, recorder_->controls);  // edited in the configuration dialog
}

void FrmMain::SetUpMp3() {
  recorder_->Codec().Init(1);
  RefreshMp3Options();
  c_.CheckModemp3->SetValue(settings_.ReadWhole("Modemp3") == 1 ? 1 : 0);
  if (c_.CheckModemp3->isEnabled()) {
    c_.ComboBitRate->setCurrentText(QString::number(settings_.ReadWhole("mp3BitRate")));
  }
  SyncControls();
}

void FrmMain::RestorePlacement() {
  const QScreen* screen = this->screen();
  const QSize area = screen ? screen->geometry().size() : QSize(1920, 1080);
  WindowPlacement current;
  current.left = static_cast<float>(x() * tpp_);
  current.top = static_cast<float>(y() * tpp_);
  current.width = static_cast<float>(width() * tpp_);
  current.height = static_cast<float>(height() * tpp_);
  const WindowPlacement placed =
      RestoreWindowPlacement(settings_, "", current, static_cast<float>(area.width() * tpp_),
                             static_cast<float>(area.height() * tpp_), {.skipSize = true});
  move(static_cast<int>(placed.left) / tpp_, static_cast<int>(placed.top) / tpp_);
  if (placed.state == kWindowMinimized) setWindowState(Qt::WindowMinimized);
}

}  // namespace lumora
