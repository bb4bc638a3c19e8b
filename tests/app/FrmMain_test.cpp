// The window end to end: takes through its buttons, its start from the settings
// and its end.

#include <QApplication>
#include <QCloseEvent>
#include <QTest>
#include <QTimer>
#include <filesystem>

#include "WindowFixture.h"
#include "app/conf/FrmConf.h"
#include "app/conf/OpenConf.h"
#include "app/window/ExternalPrograms.h"
#include "common/SndfileCheck.h"
#include "support/FileSystem.h"

namespace lumora::test {
namespace {

TEST_F(WindowTest, OneTakeThroughTheRecordStrip) {
  Load();
  const auto timeColour = [this] { return c().TextInfo[0]->Picture().pixel(3, 3); };
  const QRgb idle = timeColour();
  Click(c().RecButtons, 1);
  EXPECT_FALSE(Recording()) << "the click only asks; the next tick starts";
  Tick();
  ASSERT_TRUE(Recording());
  EXPECT_NE(timeColour(), idle) << "the recording time panel changes its colours";
  EXPECT_FALSE(c().CheckInputMon->isEnabled());
  Tick(3.2);
  Click(c().RecButtons, 2);
  Tick();
  ASSERT_FALSE(Recording());
  const std::string take = dir_.folder() + "new.wav";
  const SndfileView file = ReadWithSndfile(take);
  ASSERT_TRUE(file.opened && file.strict);
  EXPECT_GT(file.frames, 44100 * 3);
  EXPECT_EQ(Shown(c().PicFN), "new.wav");
  EXPECT_TRUE(Shown(c().TextInfo[0]).starts_with("00'03")) << Shown(c().TextInfo[0]);
  EXPECT_TRUE(c().CheckInputMon->isEnabled());
  EXPECT_EQ(timeColour(), idle);
}

// The labels are printed on the setting panels, and the drawn controls show
// the panel's metal exactly where they sit on it, at any size.
TEST_F(WindowTest, TheSettingPanelsAreDrawnWithTheirLabelsAndControlsBlendIn) {
  for (const char* size : {"1", "1.5"}) {
    window_.reset();
    Load(std::string("SizeRate=") + size + "\n");
    const auto panelUnder = [](const QWidget& control, QPoint at) {
      return static_cast<const FacePanel*>(control.parentWidget())->Picture().pixel(control.pos() + at);
    };
    for (const QWidget* control :
         {static_cast<QWidget*>(c().ComboDev[1]), static_cast<QWidget*>(c().HScrollRec[2])}) {
      int ink = 0;  // dark pixels left of the control: its label
      for (int x = control->x() / 3; x < control->x(); ++x) {
        for (int y = 0; y < control->height(); ++y)
          ink += qGray(panelUnder(*control, {x - control->x(), y})) < 80;
      }
      EXPECT_GT(ink, 20) << size;
    }
    const UC_Check& check = *c().CheckUseTH;
    for (int y = 0; y < check.height(); ++y) {
      ASSERT_EQ(check.Picture().pixel(check.width() - 1, y), panelUnder(check, {check.width() - 1, y}))
          << size;
    }
    const UC_Slider& slider = *c().HScrollRec[0];
    const QPoint trackStart = slider.TrackRect().topLeft() + QPoint(2, 0);
    EXPECT_EQ(slider.Picture().pixel(trackStart), panelUnder(slider, trackStart)) << size;
  }
}

// A take's warnings show beside 登録 until the next take starts.
TEST_F(WindowTest, TakeWarningsShowUntilTheNextTake) {
  Load();
  freeSpace_.bytes = 250 * 44100 * 4;
  Click(c().RecButtons, 1);
  Tick();
  EXPECT_EQ(Shown(c().TextWarn), "残り録音時間 約4分");
  devices_.Advance(7.0);  // a stall longer than the capture ring holds
  clock_.Advance(7.0);
  Tick(0.2);
  EXPECT_TRUE(Shown(c().TextWarn).starts_with("音声欠落 00'0")) << Shown(c().TextWarn);
  Click(c().RecButtons, 2);
  Tick();
  freeSpace_.bytes = int64_t{1} << 50;
  Click(c().RecButtons, 1);
  Tick();
  EXPECT_EQ(Shown(c().TextWarn), "");
}

TEST_F(WindowTest, ClosingDuringATakeAsksFirst) {
  Load("InputMon=1\n");
  window_->RecButtonsClick(1);
  Tick(1.0);
  ASSERT_TRUE(Recording());
  dialogs_.answers = {7};  // No: the take goes on
  EXPECT_FALSE(window_->close());
  EXPECT_TRUE(Recording());
  EXPECT_EQ(dialogs_.messages.back(), "lumora: 終了しますか？");
  dialogs_.answers = {6};  // Yes: stopped, kept and the settings saved
  EXPECT_TRUE(window_->close());
  EXPECT_FALSE(Recording());
  EXPECT_FALSE(window_->recorder().State().IsMonitoring);
  EXPECT_GT(ReadWithSndfile(dir_.folder() + "new.wav").frames, 0);
  EXPECT_NE(IniText().find("InputMon=1"), std::string::npos);
}

TEST_F(WindowTest, SelectorsAndSlidersFollowTheSettingsAndAreSavedAtExit) {
  Load("nFreq=12345\nnBit=24\nnCh=1\nSizeRate=5\nStartLevel=-30\nEndTime=55\nRecLevel=-12.5\nAutoRec=1\n");
  EXPECT_EQ(c().ComboFmt[0]->currentText(), QStringLiteral("44100"));
  EXPECT_EQ(c().ComboFmt[1]->currentText(), QStringLiteral("24bit"));
  EXPECT_EQ(c().ComboFmt[2]->currentText(), QStringLiteral("Mono"));
  EXPECT_FLOAT_EQ(window_->SizeRate(), 3.0f);
  EXPECT_EQ(Shown(c().TextValue[0]), "-30db");
  EXPECT_EQ(Shown(c().TextValue[2]), "5.5sec");
  EXPECT_EQ(Shown(c().TextLevel[0]), "-12.5db");
  EXPECT_EQ(c().CheckUseTH->Value(), 1);
  EXPECT_EQ(c().ComboDev[0]->currentIndex(), -1) << "no saved device: the default one";
  for (int step = 0; step < 5; ++step) QTest::keyClick(c().HScrollRec[1], Qt::Key_Left);
  EXPECT_EQ(Shown(c().TextValue[1]), "-50db");
  QTest::mouseClick(c().CheckSequential, Qt::LeftButton);
  c().ComboDev[0]->setCurrentIndex(0);
  ASSERT_TRUE(window_->close());
  const std::string ini = IniText();
  for (const char* line :
       {"StartLevel=-30", "EndLevel=-50", "EndTime=55", "AutoRec=1", "Sequential=1", "DeviceInName=Mic",
        "nFreq=44100", "nBit=24", "nCh=1", "RecLevel=-12.5", "PlayLevel=0"}) {
    EXPECT_NE(ini.find(line), std::string::npos) << line << " in\n" << ini;
  }
}

TEST_F(WindowTest, Mp3IsOfferedAtSixteenBitOnlyAndKeepsItsRate) {
  Load("nBit=16\nmp3BitRate=192\n");
  ASSERT_TRUE(c().CheckModemp3->isEnabled());
  EXPECT_EQ(c().ComboBitRate->currentText(), QStringLiteral("192"));
  const auto choose = [this](const char* bits) {
    c().ComboFmt[1]->setCurrentText(QString::fromUtf8(bits));
    emit c().ComboFmt[1]->activated(c().ComboFmt[1]->currentIndex());
  };
  choose("24bit");
  EXPECT_FALSE(c().CheckModemp3->isEnabled());
  EXPECT_FALSE(c().ComboBitRate->isEnabled());
  EXPECT_EQ(c().ComboBitRate->count(), 0);
  choose("16bit");
  EXPECT_TRUE(c().CheckModemp3->isEnabled());
  EXPECT_EQ(c().ComboBitRate->currentText(), QStringLiteral("192"));
}

TEST_F(WindowTest, LevelSliderReturnsToZeroOnDoubleClickAndRightPress) {
  Load("RecLevel=-6\nPlayLevel=3\nSizeRate=0.5\n");
  EXPECT_FLOAT_EQ(window_->SizeRate(), 0.7f) << "raised to the least size";
  QTest::mouseDClick(c().LevelSlider[0], Qt::LeftButton);
  QTest::mousePress(c().LevelSlider[1], Qt::RightButton);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(c().LevelSlider[i]->Value(), 0);
    EXPECT_EQ(Shown(c().TextLevel[i]), "0.0db");
  }
}

TEST_F(WindowTest, MenusAreRefusedWhileATakeRuns) {
  Load();
  window_->RecButtonsClick(1);
  Tick();
  window_->MenuHelpClick(1);
  EXPECT_TRUE(dialogs_.messages.empty());
  window_->RecButtonsClick(2);
  Tick();
  window_->MenuHelpClick(1);
  ASSERT_EQ(dialogs_.messages.size(), 1u);
  EXPECT_TRUE(dialogs_.messages[0].starts_with("バージョン情報: tessaron lumora\n\nversion: "));
  EXPECT_NE(dialogs_.messages[0].find("更新版\n\ncomputer name: "), std::string::npos);
}

TEST_F(WindowTest, RegisterHandsTheLastTakeToTheApplicationQuoted) {
  std::vector<std::string> started;
  SetProgramStarter([&](const std::string& line) {
    started.push_back(line);
    return 1;
  });
  const std::string application = dir_.folder() + "my app";
  WriteFileBytes(application, {'#'});
  Load("RegApp=" + application + "\n");
  window_->RecButtonsClick(0);  // the save dialog chooses a name with a space
  dialogs_.fileAnswer = dir_.folder() + "take one";
  window_->RecButtonsClick(0);
  window_->RecButtonsClick(1);
  Tick(0.5);
  window_->RecButtonsClick(2);
  Tick();
  Click(c().RegButton, 0);
  SetProgramStarter(nullptr);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0], "\"" + application + "\" \"" + dir_.folder() + "take one.wav\"");
  EXPECT_EQ(dialogs_.fileRequests.back(), " wavファイル|*.wav");
}

TEST_F(WindowTest, TheLastTakePlaysThroughThePlayStrip) {
  Load("DeviceOutName=Speakers\n");
  window_->RecButtonsClick(1);
  Tick(2.0);
  window_->RecButtonsClick(2);
  Tick();
  Click(c().PlayButtons, 2);
  EXPECT_TRUE(window_->transport().PlayRequested());
  window_->MenuHelpClick(1);
  EXPECT_TRUE(dialogs_.messages.empty()) << "no version box while playing";
  Tick(1.0);
  EXPECT_GT(c().ProgBar->Value(), 0);
  EXPECT_NE(Shown(c().TextInfo[1]), "00'00.0");
  EXPECT_FALSE(devices_.OutputBytes(0).empty());
  Tick(2.0);  // past the end
  EXPECT_FALSE(window_->transport().PlayRequested());
  EXPECT_EQ(c().ProgBar->Value(), c().ProgBar->Max());
  EXPECT_TRUE(Shown(c().TextInfo[1]).starts_with("00'01"));
}

TEST_F(WindowTest, FunctionKeysAndTheRemoteBoxRecordWhicheverControlHasTheFocus) {
  SimulatedBox& box = hid_.AddBox(1);
  Load("USBHIDID=1\n");
  QTest::keyClick(c().HScrollRec[0], Qt::Key_F1);
  Tick();
  ASSERT_TRUE(Recording());
  EXPECT_EQ(c().HScrollRec[0]->Value(), -45) << "the key went to the window, not the slider";
  Tick(1.0);
  QTest::keyClick(c().ComboFmt[0], Qt::Key_F2, Qt::ShiftModifier);
  Tick();
  ASSERT_FALSE(Recording());
  EXPECT_GT(ReadWithSndfile(dir_.folder() + "new.wav").frames, 0);

  box.Press(1);  // REC
  Tick();
  EXPECT_TRUE(Recording());
  box.Release(1);
  box.Press(2);  // REC_STOP
  Tick();
  EXPECT_FALSE(Recording());
  // The three lights off at the start, then the recording light on and off per take.
  EXPECT_EQ(box.Commands(), (std::vector<int32_t>{101, 102, 103, 2, 102, 2, 102}));
  ASSERT_TRUE(window_->close());
  EXPECT_EQ(box.Commands().size(), 10u) << "the lights are switched off at exit";
}

// 設定 opens the configuration dialog over the window, and its OK reaches the
// running window: the next take goes to the new folder, and the remote box,
// restarted, lights its lamps the inverted way.
TEST_F(WindowTest, TheConfigurationDialogsOkReachesTheRunningWindow) {
  SimulatedBox& box = hid_.AddBox(1);
  Load("USBHIDID=1\n");
  window_->SetConfDialogOpener(OpenFrmConf);
  const std::string folder = dir_.folder() + "takes/";
  std::filesystem::create_directory(folder);
  bool accepted = false;
  QTimer::singleShot(0, window_.get(), [&] {
    auto* dialog = qobject_cast<FrmConf*>(QApplication::activeModalWidget());
    if (!dialog) return;
    if (QTest::qWaitFor([&] { return !dialog->Busy(); }, 2000)) {
      dialog->TextSoundPath->SetText(QString::fromStdString(folder));
      dialog->TabConfClick(kTabRemote);
      QTest::mouseClick(dialog->CheckUSBTallyInvert, Qt::LeftButton);
      Click(dialog->OKCancelButtons, 1);
      accepted = dialog->result() == QDialog::Accepted;
    }
    dialog->close();
  });
  c().MenuConf->trigger();
  ASSERT_TRUE(accepted);
  const auto before = static_cast<std::ptrdiff_t>(box.Commands().size());
  window_->RecButtonsClick(1);
  Tick(0.5);
  window_->RecButtonsClick(2);
  Tick();
  EXPECT_GT(ReadWithSndfile(folder + "new.wav").frames, 0);
  const std::vector<int32_t> lights(box.Commands().begin() + before, box.Commands().end());
  EXPECT_EQ(lights, (std::vector<int32_t>{102, 2})) << "recording light on, then off, inverted";
}

}  // namespace
}  // namespace lumora::test
