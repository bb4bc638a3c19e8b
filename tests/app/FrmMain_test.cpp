// The window end to end: takes through its buttons, its start from the settings
// and its end.

#include <QCloseEvent>
#include <QTest>

#include "WindowFixture.h"
#include "app/window/ExternalPrograms.h"
#include "common/SndfileCheck.h"
#include "support/FileSystem.h"

namespace lumora::test {
namespace {

TEST_F(WindowTest, OneTakeThroughTheRecordStrip) {
  Load();
  Click(c().RecButtons, 1);
  EXPECT_FALSE(Recording()) << "the click only asks; the next tick starts";
  Tick();
  ASSERT_TRUE(Recording());
  EXPECT_FALSE(c().CheckInputMon->isEnabled());
  Tick(3.2);
  Click(c().RecButtons, 2);
  Tick();
  ASSERT_FALSE(Recording());
  const std::string take = dir_.folder() + "new.wav";
  const SndfileView file = ReadWithSndfile(take);
  ASSERT_TRUE(file.opened && file.strict);
  EXPECT_GT(file.frames, 44100 * 3);
  EXPECT_EQ(c().PicFN->text().toStdString(), "new.wav");
  EXPECT_EQ(c().TextInfo[0]->text().left(5), QStringLiteral("00'03")) << c().TextInfo[0]->text().toStdString();
  EXPECT_TRUE(c().CheckInputMon->isEnabled());
}

// A take's warnings show beside 登録 until the next take starts.
TEST_F(WindowTest, TakeWarningsShowUntilTheNextTake) {
  Load();
  freeSpace_.bytes = 250 * 44100 * 4;
  Click(c().RecButtons, 1);
  Tick();
  EXPECT_EQ(c().TextWarn->text(), QStringLiteral("残り録音時間 約4分"));
  devices_.Advance(7.0);  // a stall longer than the capture ring holds
  clock_.Advance(7.0);
  Tick(0.2);
  EXPECT_TRUE(c().TextWarn->text().startsWith(QStringLiteral("音声欠落 00'0")))
      << c().TextWarn->text().toStdString();
  Click(c().RecButtons, 2);
  Tick();
  freeSpace_.bytes = int64_t{1} << 50;
  Click(c().RecButtons, 1);
  Tick();
  EXPECT_EQ(c().TextWarn->text(), QString());
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
  EXPECT_EQ(c().TextValue[0]->text(), QStringLiteral("-30db"));
  EXPECT_EQ(c().TextValue[2]->text(), QStringLiteral("5.5sec"));
  EXPECT_EQ(c().TextLevel[0]->text(), QStringLiteral("-12.5db"));
  EXPECT_TRUE(c().CheckUseTH->isChecked());
  EXPECT_EQ(c().ComboDev[0]->currentIndex(), -1) << "no saved device: the default one";
  c().HScrollRec[1]->setValue(-50);
  c().ComboDev[0]->setCurrentIndex(0);
  ASSERT_TRUE(window_->close());
  const std::string ini = IniText();
  for (const char* line : {"StartLevel=-30", "EndLevel=-50", "EndTime=55", "AutoRec=1", "DeviceInName=Mic",
                           "nFreq=44100", "nBit=24", "nCh=1", "RecLevel=-12.5", "PlayLevel=0"}) {
    EXPECT_NE(ini.find(line), std::string::npos) << line << " in\n" << ini;
  }
}

TEST_F(WindowTest, SizeRateBelowTheRangeIsRaised) {
  Load("SizeRate=0.5\n");
  EXPECT_FLOAT_EQ(window_->SizeRate(), 0.7f);
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
  Load("RecLevel=-6\nPlayLevel=3\n");
  QTest::mouseDClick(c().LevelSlider[0], Qt::LeftButton);
  QTest::mousePress(c().LevelSlider[1], Qt::RightButton);
  for (int i = 0; i < 2; ++i) {
    EXPECT_EQ(c().LevelSlider[i]->value(), 0);
    EXPECT_EQ(c().TextLevel[i]->text(), QStringLiteral("0.0db"));
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
  QTest::mouseClick(c().RegButton, Qt::LeftButton);
  SetProgramStarter(nullptr);
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0], "\"" + application + "\" \"" + dir_.folder() + "take one.wav\"");
  EXPECT_EQ(dialogs_.fileRequests.back(), " wavファイル|*.wav");
}

}  // namespace
}  // namespace lumora::test

namespace lumora::test {
namespace {

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
  EXPECT_NE(c().TextInfo[1]->text(), QStringLiteral("00'00.0"));
  EXPECT_FALSE(devices_.OutputBytes(0).empty());
  Tick(2.0);  // past the end
  EXPECT_FALSE(window_->transport().PlayRequested());
  EXPECT_EQ(c().ProgBar->Value(), c().ProgBar->Max());
  EXPECT_EQ(c().TextInfo[1]->text().left(5), QStringLiteral("00'01"));
}

}  // namespace
}  // namespace lumora::test

namespace lumora::test {
namespace {

TEST_F(WindowTest, FunctionKeysAndTheRemoteBoxRecordWhicheverControlHasTheFocus) {
  SimulatedBox& box = hid_.AddBox(1);
  Load("USBHIDID=1\n");
  QTest::keyClick(c().HScrollRec[0], Qt::Key_F1);
  Tick();
  ASSERT_TRUE(Recording());
  EXPECT_EQ(c().HScrollRec[0]->value(), -45) << "the key went to the window, not the slider";
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

}  // namespace
}  // namespace lumora::test
