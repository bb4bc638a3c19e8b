// Pre-record: an armed take's file begins with what it heard before the start
// level, the input's own frames with none twice and none missing.

#include <algorithm>
#include <cstdlib>

#include "RecorderFixture.h"
#include "platform/SignalSource.h"

namespace lumora::test {
namespace {

using Kind = SignalSegment::Kind;

class PreRecording : public RecorderFixture {
 protected:
  // Quiet noise (under the start level, so every frame tells where it came
  // from), a loud tone at 3.0 s, quiet noise again.
  static std::unique_ptr<SignalSource> ToneAtThree() {
    return MakeScript({{Kind::kNoise, 3.0, 0.0, -55.0}, {Kind::kTone, 1.0, 1000.0, -6.0}, {Kind::kNoise, 3.0, 0.0, -55.0}});
  }
  void Arm(int32_t preRecTime) {
    recorder_->controls.CheckUseTH = 1;
    recorder_->controls.HScrollRec = {-40, -40, 10};
    recorder_->controls.PreRecTime = preRecTime;
  }
};

// Where the take's audio lies in the input: the frame it starts at, or -1
// when it is not one unbroken stretch of it.
int64_t FrameInInput(const std::vector<unsigned char>& input, const std::vector<unsigned char>& take,
                     int32_t blockAlign = 4) {
  const auto at = std::search(input.begin(), input.end(), take.begin(), take.end());
  const int64_t offset = at - input.begin();
  return at == input.end() || offset % blockAlign != 0 ? -1 : offset / blockAlign;
}

// 1.0 s before the tone; 5.0 s asks for more than the 3.0 s armed, which is all there is.
class PreRecordLengths : public PreRecording, public ::testing::WithParamInterface<std::pair<int32_t, int64_t>> {};

TEST_P(PreRecordLengths, TheFileStartsThePreRecordBeforeTheToneOrWhereTheTakeWasArmed) {
  const auto [preRecTime, first] = GetParam();
  Use(ToneAtThree());
  Arm(preRecTime);
  Start();
  TickFor(6.0);
  ASSERT_EQ(recorder_->State().IsRecording, 0) << "stopped after the silence time";
  const auto data = DataOf(dir_.file("new.wav"));
  ASSERT_GT(data.size(), 4u * 44100 * 3 / 2);
  auto source = ToneAtThree();
  EXPECT_EQ(data, Rendered(*source, first, static_cast<int64_t>(data.size() / 4)));
}

INSTANTIATE_TEST_SUITE_P(OneSecondAndMoreThanArmed, PreRecordLengths,
                         ::testing::Values(std::pair<int32_t, int64_t>{10, 2 * 44100},
                                           std::pair<int32_t, int64_t>{50, 0}));

TEST_F(PreRecording, AnMp3TakeDecodesWithTheToneAfterThePreRecord) {
  Use(ToneAtThree());
  UseMp3Mode();
  Arm(10);
  Start();
  TickFor(6.0);
  const SndfileView decoded = Decoded(dir_.file("new.mp3"));
  ASSERT_TRUE(decoded.opened);
  const auto loud = std::find_if(decoded.samples.begin(), decoded.samples.end(),
                                 [](int32_t s) { return std::abs(s) > (1 << 28); });
  ASSERT_NE(loud, decoded.samples.end());
  const int64_t toneFrame = (loud - decoded.samples.begin()) / 2;
  EXPECT_GE(toneFrame, 44100) << "a whole second before the tone";
  EXPECT_LE(toneFrame, 44100 + 2 * 1152) << "and not more than the encoder's delay besides";
}

// Bursts with short quiet gaps: each re-armed take's pre-record may reach back
// only as far as its own start, never into the take before.
TEST_F(PreRecording, SequentialTakesNeverShareAFrame) {
  std::vector<SignalSegment> script;
  for (int i = 0; i < 3; ++i) {
    script.push_back({Kind::kNoise, 0.8, 0.0, -55.0});
    script.push_back({Kind::kTone, 0.4, 700.0, -6.0});
  }
  script.push_back({Kind::kNoise, 2.0, 0.0, -55.0});
  Use(MakeScript(script));
  Arm(10);
  recorder_->controls.HScrollRec[2] = 3;
  recorder_->controls.CheckSequential = 1;
  Start();
  TickFor(5.5);
  auto source = MakeScript(script);
  const auto input = Rendered(*source, 0, 6 * 44100);
  int64_t end = 0;
  for (const char* n : {"01", "02", "03"}) {
    const auto data = DataOf(dir_.file(std::string("new") + n + ".wav"));
    const int64_t first = FrameInInput(input, data);
    ASSERT_GE(first, 0) << n << ": one stretch of the input";
    EXPECT_GE(first, end) << n << ": after the previous take's last frame";
    end = first + static_cast<int64_t>(data.size() / 4);
  }
}

}  // namespace
}  // namespace lumora::test
