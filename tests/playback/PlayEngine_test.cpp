// Whole files played through the engine into the simulated output: what comes
// out is compared sample by sample with what should be heard.

#include <cmath>

#include "meters/Levels.h"
#include "playback/PlaybackKit.h"

namespace lumora::test {
namespace {

// Every format at unity gain comes out exactly as stored; a short take (less
// than one buffer) and a take of many buffers alike.
TEST_F(PlaybackTest, UnityGainPlaysEveryFormatBitForBit) {
  for (const int32_t bits : {8, 16, 24}) {
    for (const int32_t channels : {1, 2}) {
      for (const int64_t frames : {1000, 300000}) {
        SCOPED_TRACE(testing::Message() << bits << " bit, " << channels << " ch, " << frames << " frames");
        const std::vector<uint8_t> data = Pcm(Ramp(frames, channels, bits), bits);
        const size_t before = Heard().size();
        WriteTake(48000, bits, channels, data);
        transport_.PlayButtonClick(0);  // rewind
        transport_.PlayButtonClick(2);
        PlayToEnd();
        const std::vector<uint8_t> heard = Heard();
        EXPECT_EQ(std::vector<uint8_t>(heard.begin() + before, heard.end()), data);
      }
    }
  }
}

}  // namespace
}  // namespace lumora::test
