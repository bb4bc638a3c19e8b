// MP3 takes: a bare MPEG stream that plays for as long as the frames written,
// the cut back to the last loud moment; and takes that go on in a next file
// ("-2", "-3", ...) at a timed split or at the file-size limit.

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

// The root mean square of the middle three fifths, past the encoder's delay.
double MiddleRms(const std::vector<int32_t>& samples) {
  double sum = 0;
  const size_t from = samples.size() / 5, to = samples.size() - from;
  for (size_t k = from; k < to; ++k) sum += static_cast<double>(samples[k]) * samples[k];
  return std::sqrt(sum / static_cast<double>(to - from));
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

// Every rate the encoder takes without resampling, mono and stereo: a bare
// stream at its rate, as long as the frames written (the encoder adds its
// delay and pads the last frame, never loses frames), whose stop line counts
// what a player hears, at its level.
class Mp3TakeRates : public Mp3Takes, public ::testing::WithParamInterface<std::tuple<int32_t, int32_t>> {};

TEST_P(Mp3TakeRates, ABareStreamThatPlaysAtItsRateForAsLongAsItsFrames) {
  const auto [rate, channels] = GetParam();
  Use(MakeTone(440.0, -6.0), rate, 16, channels);
  UseMp3Mode("64");  // taken by every MPEG version
  Start();
  RecordFrames(rate);
  Stop();
  const std::string path = dir_.file("new.mp3");
  MpegInfo info;
  ASSERT_EQ(ParseMpegFile(path, 1, info), 1);
  EXPECT_EQ(std::tuple(info.FirstFrame, info.SampleRate, info.Channels), std::tuple(1, rate, channels));
  EXPECT_EQ(recorder_->State().Mp3BytesWritten, FileSizeByName(path)) << "the encoder's last frames too";
  const int64_t frames = recorder_->State().counters.FramesWritten;
  const SndfileView decoded = Decoded(path);
  EXPECT_EQ(decoded.rate, rate);
  EXPECT_GE(decoded.frames, frames);
  EXPECT_LE(decoded.frames, frames + 2 * 1152);
  EXPECT_EQ(view_.events.back(), "stop " + path + " " + std::to_string(decoded.frames));
  const double expected = std::pow(10.0, -6.0 / 20) * 2147483647.0 / std::sqrt(2.0);
  EXPECT_NEAR(20 * std::log10(MiddleRms(decoded.samples) / expected), 0.0, 0.6);
}

INSTANTIATE_TEST_SUITE_P(EveryRate, Mp3TakeRates,
                         ::testing::Combine(::testing::Values(8000, 11025, 12000, 16000, 22050, 24000, 32000,
                                                              44100, 48000),
                                            ::testing::Values(1, 2)));

// Takes that go on in a next file ("-2", "-3", ...) at a timed split or at the
// file-size limit: the files one after the other are the input, frame for frame.
class FileParts : public RecorderFixture {
 protected:
  // The take's files in order, from its start and stop events, and the frames
  // each stop line gave.
  std::vector<std::pair<std::string, int64_t>> Files() const {
    std::vector<std::pair<std::string, int64_t>> files;
    for (const auto& e : view_.events) {
      if (e.rfind("stop ", 0) != 0) continue;
      const size_t space = e.rfind(' ');
      files.emplace_back(e.substr(5, space - 5), std::stoll(e.substr(space + 1)));
    }
    return files;
  }
  // The start and stop events of files of the frames given, named as parts.
  std::vector<std::string> Events(const std::string& base, const std::vector<int64_t>& frames) const {
    std::vector<std::string> events;
    for (size_t n = 0; n < frames.size(); ++n) {
      const std::string path = dir_.file(base + (n == 0 ? "" : "-" + std::to_string(n + 1)) + ".wav");
      events.push_back("start " + path);
      events.push_back("stop " + path + " " + std::to_string(frames[n]));
    }
    return events;
  }
  std::vector<unsigned char> Concatenated() const {
    std::vector<unsigned char> all;
    for (const auto& [path, frames] : Files()) {
      const auto data = DataOf(path);
      EXPECT_TRUE(ReadWithSndfile(path).strict) << path;
      all.insert(all.end(), data.begin(), data.end());
    }
    return all;
  }
};

// 150 s at 11025 Hz: buffers of 1102 frames, so the minute falls inside one.
TEST_F(FileParts, ASplitEveryMinuteGivesMinuteFilesThatAreTheInput) {
  Use(MakeNoise(-10.0), 11025, 16, 1);
  recorder_->controls.SplitMinutes = 1;
  Start();
  RecordFrames(150 * 11025);
  EXPECT_EQ(recorder_->State().names.RecFileName, dir_.file("new-3.wav"));
  EXPECT_EQ(view_.recTime.substr(0, 5), "02'30") << "the time of the take, not of its file";
  Stop();
  const int64_t total = 1501 * 1102;
  EXPECT_EQ(view_.events, Events("new", {661500, 661500, total - 2 * 661500}));
  auto noise = MakeNoise(-10.0);
  EXPECT_EQ(Concatenated(), Render(*noise, MakeWaveFormat({11025, 16, 1}), 0, total));
  EXPECT_EQ(recorder_->State().names.RecFileName, dir_.file("new.wav")) << "the next take starts anew";
}

// The limit forced small. ContinueAtLimit 1 goes on in the next file at
// exactly the limit; 0 stops the take there.
class FileLimit : public FileParts, public ::testing::WithParamInterface<int32_t> {};

TEST_P(FileLimit, AtTheFileLimitTheTakeGoesOnOrStops) {
  const int32_t continueAtLimit = GetParam();
  Use(MakeNoise(-10.0));
  recorder_->controls.ContinueAtLimit = continueAtLimit;
  recorder_->controls.CheckSequential = 1;
  Start();
  RecorderTestAccess::State(*recorder_).MaxFramesPerFile = 44100 + 1000;
  TickFor(3.0);
  Stop();
  if (continueAtLimit) {
    EXPECT_EQ(view_.events, Events("new01", {45100, 45100, 30 * 4410 - 2 * 45100}));
  } else {
    EXPECT_EQ(view_.events, Events("new01", {11 * 4410}));
    EXPECT_NE(LogText().find("DW2C(tm.u)="), std::string::npos);
  }
  auto noise = MakeNoise(-10.0);
  const auto data = Concatenated();
  EXPECT_EQ(data, Render(*noise, kCdFormat, 0, static_cast<int64_t>(data.size() / 4)));
}

INSTANTIATE_TEST_SUITE_P(GoOnOrStop, FileLimit, ::testing::Values(1, 0));

// An MP3 take at its byte limit: every file a stream of its own that decodes
// whole, and together they hold every frame.
TEST_F(FileParts, AnMp3TakeGoesOnAtItsByteLimitInFilesThatEachPlay) {
  Use(MakeTone(440.0, -10.0));
  UseMp3Mode();
  Start();
  RecorderTestAccess::State(*recorder_).MaxMp3BytesPerFile = 25000;  // about 10 buffers
  RecordFrames(4 * 44100);
  Stop();
  const auto files = Files();
  ASSERT_GE(files.size(), 3u);
  int64_t decodedFrames = 0;
  for (const auto& [path, frames] : files) {
    MpegInfo info;
    EXPECT_EQ(ParseMpegFile(path, 1, info), 1) << path;
    const SndfileView decoded = Decoded(path);
    EXPECT_EQ(decoded.frames, frames) << path;
    decodedFrames += decoded.frames;
  }
  EXPECT_EQ(files[2].first, dir_.file("new-3.mp3"));
  const auto count = static_cast<int64_t>(files.size());
  const int64_t written = 26 * 6912;
  EXPECT_GE(decodedFrames, written);
  EXPECT_LE(decodedFrames, written + count * 2 * 1152) << "an encoder's delay and padding per file";
}

}  // namespace
}  // namespace lumora::test
