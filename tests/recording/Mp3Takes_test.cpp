// MP3 takes: a bare MPEG stream that plays for as long as the frames written,
// the cut back to the last loud moment, and no file for a take that never wrote.

#include <cmath>
#include <filesystem>

#include "RecorderFixture.h"
#include "common/FileSizeLimit.h"
#include "common/SndfileCheck.h"
#include "formats/FileHandle.h"
#include "formats/Mpeg.h"
#include "formats/MpegFrames.h"
#include "platform/SignalSource.h"

namespace lumora::test {
namespace {

class Mp3Takes : public RecorderFixture {
 protected:
  void UseMp3(std::unique_ptr<SignalSource> source, const std::string& kbps = "128") {
    Use(std::move(source));
    UseMp3Mode(kbps);
  }
};

double Rms(const std::vector<int32_t>& samples) {
  double sum = 0;
  for (int32_t s : samples) sum += static_cast<double>(s) * s;
  return samples.empty() ? 0 : std::sqrt(sum / static_cast<double>(samples.size()));
}

TEST_F(Mp3Takes, ATakeIsABareStreamThatPlaysAsLongAsItsFrames) {
  UseMp3(MakeTone(1000.0, -6.0));
  Start();
  ASSERT_EQ(recorder_->State().Mp3Mode, 1);
  EXPECT_EQ(recorder_->State().FramesPerBuffer, 6912);
  RecordFrames(3 * 44100);
  Stop();
  const std::string path = dir_.file("new.mp3");
  const int64_t frames = recorder_->State().counters.FramesWritten;
  MpegInfo info;
  ASSERT_EQ(ParseMpegFile(path, 1, info), 1);
  EXPECT_EQ(info.FirstFrame, 1);
  EXPECT_EQ(info.Bitrate, 128);
  EXPECT_EQ(info.SampleRate, 44100);
  EXPECT_EQ(recorder_->State().Mp3BytesWritten, FileSizeByName(path)) << "the encoder's last frames too";
  const SndfileView decoded = Decoded(path);
  ASSERT_TRUE(decoded.opened);
  EXPECT_EQ(view_.events.back(), "stop " + path + " " + std::to_string(decoded.frames))
      << "what a player hears";
  // The encoder adds its delay and pads the last frame, never loses frames.
  EXPECT_GE(decoded.frames, frames);
  EXPECT_LE(decoded.frames, frames + 2 * 1152);
  const double expected = std::pow(10.0, -6.0 / 20) * 2147483647.0 / std::sqrt(2.0);
  EXPECT_NEAR(20 * std::log10(Rms(decoded.samples) / expected), 0.0, 0.6) << "level within 0.6 dB";
}

TEST_F(Mp3Takes, AnAutomaticTakeIsCutAtTheBytesOfItsLastLoudBuffer) {
  UseMp3(MakeScript({{SignalSegment::Kind::kTone, 1.0, 1000.0, -6.0}, {SignalSegment::Kind::kSilence, 3.0}}));
  recorder_->controls.CheckUseTH = 1;
  recorder_->controls.HScrollRec = {-40, -40, 10};
  Start();
  int64_t cut = 0;
  for (int guard = 0; recorder_->State().IsRecording && guard < 200; ++guard) {
    cut = recorder_->State().Mp3TrimBytes;
    Tick();
  }
  const std::string path = dir_.file("new.mp3");
  EXPECT_GT(cut, 0);
  const int64_t size = FileSizeByName(path);
  EXPECT_LE(size, cut);
  EXPECT_GT(size, cut - 418) << "cut at the end of the last whole frame before the trim point";
  MpegInfo info;
  EXPECT_EQ(ParseMpegFile(path, 1, info), 1);
  EXPECT_EQ(WholeMpegFrames(path, size).bytes, size) << "no half frame at the end";
  const SndfileView decoded = Decoded(path);
  EXPECT_GE(decoded.frames, 44100) << "the whole second of tone";
  EXPECT_LE(decoded.frames, 44100 + 3 * 6912);
}

TEST_F(Mp3Takes, AFullDiskStopsTheTakeWithWhatIsOnDisk) {
  UseMp3(MakeNoise(-10.0));
  Start();
  {
    FileSizeLimit limit(60000);  // one flush of 48000 bytes fits, the next does not
    TickFor(10.0);
  }
  EXPECT_EQ(recorder_->State().IsRecording, 0);
  EXPECT_NE(std::find(messages_.begin(), messages_.end(), "書き込み失敗"), messages_.end());
  const std::string path = dir_.file("new.mp3");
  const int64_t size = FileSizeByName(path);
  EXPECT_GE(size, 48000 - 4000);
  EXPECT_LE(size, 48000);
  MpegInfo info;
  EXPECT_EQ(ParseMpegFile(path, 1, info), 1);
}

// Every rate the encoder takes without resampling, mono and stereo.
class Mp3TakeRates : public Mp3Takes, public ::testing::WithParamInterface<std::tuple<int32_t, int32_t>> {};

TEST_P(Mp3TakeRates, PlaysAtItsRateForAsLongAsItsFrames) {
  const auto [rate, channels] = GetParam();
  Use(MakeTone(440.0, -10.0), rate, 16, channels);
  UseMp3Mode("64");  // taken by every MPEG version
  Start();
  RecordFrames(rate);
  Stop();
  const std::string path = dir_.file("new.mp3");
  MpegInfo info;
  ASSERT_EQ(ParseMpegFile(path, 1, info), 1);
  EXPECT_EQ(info.SampleRate, rate);
  EXPECT_EQ(info.Channels, channels);
  const int64_t frames = recorder_->State().counters.FramesWritten;
  EXPECT_EQ(frames % 3456, 0);
  const SndfileView decoded = Decoded(path);
  EXPECT_EQ(decoded.rate, rate);
  EXPECT_GE(decoded.frames, frames);
  EXPECT_LE(decoded.frames, frames + 2 * 1152);
}

INSTANTIATE_TEST_SUITE_P(EveryRate, Mp3TakeRates,
                         ::testing::Combine(::testing::Values(8000, 11025, 12000, 16000, 22050, 24000, 32000,
                                                              44100, 48000),
                                            ::testing::Values(1, 2)));

}  // namespace
}  // namespace lumora::test
