// The window's own commands: menus, the format and MP3 choice, the sliders and
// their texts, the record strip, the file-name panel and the register button.

#include <QApplication>
#include <QComboBox>
#include <QMenu>
#include <QMouseEvent>

#include "app/window/DialogPresenter.h"
#include "app/window/ExternalPrograms.h"
#include "app/window/FrmMain.h"
#include "controls/MouseCodes.h"
#include "controls/UC_Bar.h"
#include "controls/UC_Buttons.h"
#include "controls/UC_Check.h"
#include "controls/UC_Slider.h"
#include "controls/UC_TextPicture.h"
#include "meters/Levels.h"
#include "meters/ui/MeterPicture.h"
#include "settings/Settings.h"
#include "support/FileSystem.h"
#include "support/MessageBox.h"

namespace lumora {

namespace {

// value in tenths of a dB as "-12.5db".
std::string LevelText(int32_t tenths) {
  const int32_t magnitude = tenths < 0 ? -tenths : tenths;
  return (tenths < 0 ? "-" : "") + std::to_string(magnitude / 10) + "." + std::to_string(magnitude % 10) + "db";
}

}  // namespace

void FrmMain::ConnectControls() {
  connect(c_.RecButtons, &UC_Buttons::ButtonClicked, this, [this](int i) { RecButtonsClick(i); });
  connect(c_.PlayButtons, &UC_Buttons::ButtonClicked, this, [this](int i) { transport_->PlayButtonClick(i); });
  for (int32_t i = 0; i < 3; ++i) {
    connect(c_.HScrollRec[i], &UC_Slider::Scrolled, this, [this, i] { HScrollRecChange(i); });
    connect(c_.ComboFmt[i], &QComboBox::activated, this, [this] {
      SyncSelectors();
      RefreshMp3Options();
    });
  }
  for (int32_t i = 0; i < 2; ++i) {
    connect(c_.LevelSlider[i], &UC_Slider::Scrolled, this, [this, i] { LevelSliderChange(i); });
    connect(c_.LevelSlider[i], &UC_Slider::DblClicked, this, [this, i] { LevelSliderReset(i); });
    connect(c_.LevelSlider[i], &UC_Slider::MouseUD, this, [this, i](bool down, int button) {
      if (down && button == kRightButton) LevelSliderReset(i);
    });
    connect(c_.ComboDev[i], &QComboBox::activated, this, [this] { SyncSelectors(); });
    c_.PictureVU[i]->installEventFilter(this);
  }
  connect(c_.PicFN, &UC_TextPicture::MouseUD, this, [this](int button, bool down, int) {
    if (!down && button == kLeftButton) PicFNClick();
  });
  connect(c_.ProgBar, &UC_Bar::MouseUD, this, [this](bool down) {
    if (down) {
      transport_->BarPressed();
    } else {
      transport_->BarReleased(c_.ProgBar->Value());
    }
  });
  connect(c_.ProgBar, &UC_Bar::Scrolled, this, [this] { transport_->BarDragged(c_.ProgBar->Value()); });
  for (UC_Check* box : {c_.CheckUseTH, c_.CheckSequential, c_.CheckModemp3}) {
    connect(box, &UC_Check::Click, this, [this] { SyncControls(); });
  }
  connect(c_.CheckInputMon, &UC_Check::Click, this, [this] { InputMonClick(); });
  connect(c_.ComboBitRate, &QComboBox::activated, this, [this] { SyncControls(); });
  connect(c_.RegButton, &UC_Buttons::ButtonClicked, this, [this] { RegisterRecording(); });
  connect(c_.MenuConf, &QAction::triggered, this, [this] { MenuConfClick(); });
  connect(c_.MenuMixer, &QAction::triggered, this, [this] { MenuMixerClick(); });
  connect(c_.MenuHelp[0], &QAction::triggered, this, [this] { MenuHelpClick(0); });
  connect(c_.MenuHelp[1], &QAction::triggered, this, [this] { MenuHelpClick(1); });
  connect(c_.MenuRMSP3, &QAction::triggered, this, [this] { MenuRMSP3Click(); });
  qApp->installEventFilter(this);
}

bool FrmMain::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (type == QEvent::KeyRelease) {
    // The window hears the function keys before its controls, whichever has the
    // focus; the release is handled at its first receiver and goes no further.
    const auto* key = static_cast<QKeyEvent*>(event);
    const auto* widget = qobject_cast<QWidget*>(watched);
    const bool functionKey = key->key() >= Qt::Key_F1 && key->key() <= Qt::Key_F12;
    if (!functionKey || !widget || widget->window() != this) return false;
    if (!key->isAutoRepeat()) FormKeyUp(key->key());
    return true;
  }
  if (type != QEvent::MouseButtonRelease) return false;
  const auto* mouse = static_cast<QMouseEvent*>(event);
  for (int32_t i = 0; i < 2; ++i) {
    if (watched == c_.PictureVU[i] && mouse->button() == Qt::RightButton) {
      c_.MenuRC->popup(mouse->globalPosition().toPoint());
      return true;
    }
  }
  return false;
}

void FrmMain::RecButtonsClick(int32_t index) {
  if (index == 0) recorder_->RecordCommand(0);
  if (index == 1) recorder_->RequestStart();
  if (index == 2) recorder_->RequestStop();
}

void FrmMain::MenuConfClick() {
  if (!Busy() && confOpener_) confOpener_(*this);
}

void FrmMain::MenuMixerClick() {
  if (!Busy()) LaunchMixer(settings_);
}

void FrmMain::MenuHelpClick(int32_t index) {
  if (Busy()) return;
  if (index == 0) {
    OpenDocument(settings_.appFolder() + "lumora.pdf");
  } else {
    ShowVersionInfo();
  }
}

void FrmMain::SetWaveRate(float rate) {
  waveRate_ = rate;
  historyFormat_.fill(SampleFormat{0, 0, 0});  // both histories are laid out again
  FollowHistoryFormats();
}

void FrmMain::FollowHistoryFormats() {
  const LevelState* levels[] = {&recorder_->Levels(), &transport_->levels};
  for (size_t i = 0; i < 2; ++i) {
    const SampleFormat& format = levels[i]->format;
    SampleFormat& shown = historyFormat_[i];
    if (format.nFreq == shown.nFreq && format.nBit == shown.nBit && format.nCh == shown.nCh) continue;
    shown = format;
    history_[i].SetupFormat(*levels[i], waveRate_);
  }
}

void FrmMain::MenuRMSP3Click() {
  recorder_->SetRmsPlus3(c_.MenuRMSP3->isChecked());
  transport_->levels.rmsPlus3 = c_.MenuRMSP3->isChecked();
}

void FrmMain::ShowVersionInfo() {
  const std::string program = QCoreApplication::applicationFilePath().toStdString();
  dialogs_->Message(VersionInfoText(LUMORA_VERSION_MAJOR, LUMORA_VERSION_MINOR, LUMORA_VERSION_PATCH, program),
                    kInformation, "バージョン情報");
}

void FrmMain::RegisterRecording() {
  const std::string application = ResolveRegApp(settings_);
  const std::string& take = recorder_->State().names.RecFileName;
  if (FileExists(application) && FileExists(take)) RunProgram(application, take, 1, "");
}

void FrmMain::PicFNClick() {
  const std::string& take = recorder_->State().names.RecFileName;
  if (!take.empty()) OpenDocument(SplitPath(take, 1, 1, 0, 0, 0, 0));
}

void FrmMain::RefreshMp3Options() {
  QComboBox* combo = c_.ComboBitRate;
  const bool sixteenBit = c_.ComboFmt[1]->currentText() == QStringLiteral("16bit");
  // The rate chosen before a format without MP3 emptied the list comes back with it.
  bool numeric = false;
  const int32_t shown = combo->currentText().toInt(&numeric);
  if (numeric) lastBitRate_ = shown;
  combo->clear();
  if (sixteenBit) {
    const int32_t channelCode = c_.ComboFmt[2]->currentText() == QStringLiteral("Stereo") ? 3 : 2;
    ComboModel model;
    recorder_->Codec().LoadBitRateToCombo(model, c_.ComboFmt[0]->currentText().toInt(), channelCode,
                                          lastBitRate_);
    for (const std::string& item : model.items) combo->addItem(QString::fromStdString(item));
    combo->setCurrentText(QString::fromStdString(model.text));
  }
  const bool available = combo->count() > 0;
  c_.CheckModemp3->SetEnabled(available);
  combo->setEnabled(available);
  SyncControls();
}

void FrmMain::LevelSliderChange(int32_t index) {
  const int32_t value = c_.LevelSlider[index]->Value();
  const float db = static_cast<float>(value) / 10.0f;
  if (index == 0) recorder_->SetRecLevel(db);
  if (index == 1) engine_->PlaybackGain = {DbToLin(db), DbToLin(db)};
  c_.TextLevel[index]->DispMes(0, QString::fromStdString(LevelText(value)));
}

void FrmMain::LevelSliderReset(int32_t index) {
  c_.LevelSlider[index]->SetValue(0);
  LevelSliderChange(index);
}

void FrmMain::HScrollRecChange(int32_t k) {
  recorder_->controls.HScrollRec[static_cast<size_t>(k)] = c_.HScrollRec[k]->Value();
  recorder_->SliderChanged(k);
}

void FrmMain::InputMonClick() {
  recorder_->controls.CheckInputMon = c_.CheckInputMon->Value() == 1 ? 1 : 0;
  recorder_->InputMonitorClicked();
  FollowHistoryFormats();
}

void FrmMain::SyncSelectors() {
  FormatSelectors& selectors = recorder_->selectors;
  // No entry chosen: the system's default device.
  const auto device = [](const QComboBox* combo) {
    return combo->currentIndex() < 0 ? std::string("-1") : combo->currentText().toStdString();
  };
  selectors.inputDevice = device(c_.ComboDev[0]);
  selectors.outputDevice = device(c_.ComboDev[1]);
  selectors.rateText = c_.ComboFmt[0]->currentText().toStdString();
  selectors.bitsIndex = c_.ComboFmt[1]->currentIndex();
  selectors.channelsIndex = c_.ComboFmt[2]->currentIndex();
}

void FrmMain::SyncControls() {
  RecorderControls& controls = recorder_->controls;
  controls.CheckUseTH = c_.CheckUseTH->Value() == 1 ? 1 : 0;
  controls.CheckSequential = c_.CheckSequential->Value() == 1 ? 1 : 0;
  controls.CheckModemp3 = c_.CheckModemp3->Value() == 1 ? 1 : 0;
  controls.CheckModemp3Enabled = c_.CheckModemp3->isEnabled();
  controls.ComboBitRate = c_.ComboBitRate->currentText().toStdString();
}

void FrmMain::FormKeyUp(int key) {
  // The function-key table counts F1 ... F12 as 112 ... 123.
  FunctionKeyUp(112 + key - Qt::Key_F1, maps_, *this);
}

}  // namespace lumora
