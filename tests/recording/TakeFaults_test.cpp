// Takes meeting trouble: a vanished device, a full disk, the 4 GiB limit, a
// stall, a device or folder that refuses the start; and the writer's staging.

#include <gtest/gtest.h>

#include <filesystem>
#include <vector>

#include "RecorderFixture.h"
#include "common/FileSizeLimit.h"
#include "common/SndfileCheck.h"
#include "common/TempDir.h"
#include "formats/FileHandle.h"
#include "platform/SignalSource.h"
#include "platform/WaveError.h"
#include "recording/DiskWriter.h"
#include "recording/TakeFormat.h"
#include "support/EventPump.h"

namespace lumora::test {
namespace {

using TakeFaults = RecorderFixture;

// The file limit counts what is in the file: an armed take may wait in silence
// far longer than a file could hold.
TEST_F(TakeFaults, AnArmedTakeWaitsAsLongAsItLikes) {
  Use(MakeSilence());
  recorder_->controls.CheckUseTH = 1;
  Start();
  devices_.Advance(30000.0);  // 1.3e9 frames: past the frames of a file
  clock_.Advance(30000.0);
  TickFor(1.0);
  EXPECT_EQ(recorder_->State().IsRecording, 1);
  EXPECT_EQ(LogText().find("DW2C"), std::string::npos);
}

TEST_F(TakeFaults, AVanishedDeviceStopsTheTakeAndKeepsWhatWasWritten) {
  Use(MakeNoise(-10.0));
  Start();
  RecordFrames(4 * 44100);
  devices_.Pull(WaveDirection::kInput, input_);
  TickFor(0.2);
  EXPECT_EQ(recorder_->State().IsRecording, 0);
  ASSERT_EQ(messages_, std::vector<std::string>{WaveErrorText(kWaveDeviceRemoved, false)});
  EXPECT_EQ(critical_, 1) << "a take stopped by an error is a failed take";
  const auto view = ReadWithSndfile(dir_.file("new.wav"));
  EXPECT_TRUE(view.opened && view.strict) << view.log;
  EXPECT_GE(view.frames, 4 * 44100);
}

TEST_F(TakeFaults, FullDiskStopsTheTakeWithAValidFile) {
  Use(MakeNoise(-10.0));
  Start();
  {
    FileSizeLimit limit(44 + 511560 + 5000);
    TickFor(12.0);
  }
  EXPECT_EQ(recorder_->State().IsRecording, 0) << "the take stopped instead of dropping audio";
  EXPECT_NE(std::find(messages_.begin(), messages_.end(), "書き込み失敗"), messages_.end());
  EXPECT_NE(LogText(".err").find("WriteDiskBuffer err2"), std::string::npos);
  const std::string path = dir_.file("new.wav");
  EXPECT_EQ(FileSizeByName(path), 44 + 511560);
  const auto view = ReadWithSndfile(path);
  EXPECT_TRUE(view.opened && view.strict) << view.log;
  EXPECT_EQ(view.frames, 29 * 4410);
}

// Under five minutes left at the take's format: one warning, at the start or
// within seconds of running low, and another only after the space came back.
TEST_F(TakeFaults, LowDiskSpaceIsToldOnceUntilItComesBack) {
  constexpr int64_t kWavSecond = 44100 * 4;
  Use(MakeNoise(-10.0));
  freeSpace_.bytes = 300 * kWavSecond;
  Start();
  TickFor(1.0);
  freeSpace_.bytes = 299 * kWavSecond + kWavSecond - 1;  // a second short of five minutes
  TickFor(3.0);
  EXPECT_EQ(view_.events.size(), 1u) << "looks every few seconds, not every tick";
  TickFor(2.0);
  freeSpace_.bytes = 120 * kWavSecond;
  TickFor(6.0);
  freeSpace_.bytes = 301 * kWavSecond;  // space freed, then filled again
  TickFor(6.0);
  freeSpace_.bytes = 100 * kWavSecond;
  TickFor(6.0);
  Stop();
  UseMp3Mode();  // 128 kbit/s: 16000 bytes a second
  freeSpace_.bytes = 4000000;
  Start();
  Stop();
  const std::string wav = dir_.file("new.wav");
  const std::string mp3 = dir_.file("new.mp3");
  const std::string stopWav = "stop " + wav + " " + std::to_string(ReadWithSndfile(wav).frames);
  EXPECT_EQ(view_.events, (std::vector<std::string>{"start " + wav, "disk 299", "disk 100", stopWav,
                                                    "start " + mp3, "disk 250", "stop " + mp3 + " 0"}));
  EXPECT_NE(LogText(".err").find("録音可能時間残りわずか 299秒 " + wav), std::string::npos);
}

// A recorder stalled for longer than the ring holds (5 s) loses audio; the
// take says how much, and goes on.
TEST_F(TakeFaults, AudioLostInAStallIsReported) {
  Use(MakeNoise(-10.0));
  Start();
  TickFor(1.0);
  devices_.Advance(7.0);
  clock_.Advance(7.0);
  TickFor(0.2);
  ASSERT_EQ(view_.events.size(), 2u);
  const std::string lost = "lost " + dir_.file("new.wav") + " ";
  ASSERT_EQ(view_.events[1].rfind(lost, 0), 0u) << view_.events[1];
  EXPECT_NEAR(std::stoll(view_.events[1].substr(lost.size())), 2 * 44100, 4410);
  EXPECT_EQ(recorder_->State().IsRecording, 1);
}

// A file deleted or cut from outside mid-take: the take stops with the write
// error, and no file is made anew.
TEST_F(TakeFaults, ATakeFileChangedFromOutsideStopsTheTake) {
  for (const bool deleted : {true, false}) {
    Use(MakeNoise(-10.0));
    Start();
    TickFor(4.0);
    const std::string path = dir_.file("new.wav");
    if (deleted) {
      std::filesystem::remove(path);
    } else {
      SetFileSize(path, 44);
    }
    TickFor(3.0);
    EXPECT_EQ(recorder_->State().IsRecording, 0);
    EXPECT_EQ(messages_, std::vector<std::string>{"書き込み失敗"});
    EXPECT_EQ(view_.events.back(), "stop " + path + " 0");
    EXPECT_EQ(std::filesystem::exists(path) ? FileSizeByName(path) : -1, deleted ? -1 : 44);
    messages_.clear();
    view_.events.clear();
  }
}

TEST_F(TakeFaults, ADeviceThatDoesNotStartLeavesTheMonitorAsItWas) {
  Use(MakeSilence());
  recorder_->controls.CheckInputMon = 1;
  recorder_->InputMonitorClicked();
  ASSERT_EQ(recorder_->State().IsMonitoring, 1);
  devices_.FailOpen(kWaveAllocated);
  Start();
  EXPECT_EQ(recorder_->State().IsRecording, 0);
  EXPECT_TRUE(view_.monitorEnabled) << "the monitor box is usable again";
  EXPECT_FALSE(std::filesystem::exists(dir_.file("new.wav")));
  ASSERT_FALSE(messages_.empty());
  EXPECT_EQ(messages_.front(), WaveErrorText(kWaveAllocated, false));
  devices_.FailOpen(0);
  Start();
  EXPECT_EQ(recorder_->State().IsRecording, 1);
  recorder_->InputMonitorClicked();  // ignored while recording
  EXPECT_EQ(recorder_->State().IsMonitoring, 0);
  Stop();
  EXPECT_EQ(recorder_->State().IsMonitoring, 1) << "monitoring comes back after the take";
  EXPECT_TRUE(recorder_->Ring().IsOpen());
}

TEST_F(TakeFaults, ADiskFullAtTheStartLeavesNoFile) {
  for (const char* format : {"wav", "mp3"}) {
    Use(MakeNoise(-10.0));
    recorder_->controls.CheckModemp3 = std::string(format) == "mp3";
    recorder_->controls.CheckModemp3Enabled = true;
    recorder_->controls.ComboBitRate = "128";
    recorder_->Codec().Init(1);
    {
      FileSizeLimit limit(10);
      Start();
      TickFor(4.0);
      Stop();
    }
    EXPECT_EQ(recorder_->State().IsRecording, 0);
    EXPECT_FALSE(std::filesystem::exists(dir_.file(std::string("new.") + format)));
  }
}

TEST(DiskWriter, StagingBoundaries) {
  test::TempDir dir;
  const std::string path = dir.file("take.wav");
  TakeCounters counters;
  DiskWriter writer{counters};
  writer.Setup(StageCapacityFor({8000, 8, 1}, false, 0), true);  // 24000 bytes
  ASSERT_EQ(writer.OpenFile(path, false, {8000, 8, 1}), TakeClaim::kClaimed);
  std::vector<uint8_t> bytes(24001, 128);
  EXPECT_EQ(writer.WriteDiskBuffer(bytes.data(), 24001, path, 0), 0) << "over the capacity";
  EXPECT_EQ(writer.WriteDiskBuffer(bytes.data(), 0, path, 0), 0) << "a source with no bytes";
  EXPECT_EQ(writer.WriteDiskBuffer(nullptr, 0, path, 1), 1) << "flush with nothing staged";
  ASSERT_EQ(writer.WriteDiskBuffer(bytes.data(), 1000, path, 0), 1);
  ASSERT_EQ(writer.WriteDiskBuffer(bytes.data(), 23000, path, 0), 1) << "exactly the rest flushes first";
  EXPECT_EQ(FileSizeByName(path), 44 + 1000);
  EXPECT_EQ(writer.StagedBytes(), 23000);
}

}  // namespace
}  // namespace lumora::test
