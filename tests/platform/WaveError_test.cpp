#include "platform/WaveError.h"

#include <gtest/gtest.h>

#include <set>

namespace lumora {
namespace {

TEST(WaveError, EveryCodeHasItsOwnTextNamingTheDevice) {
  const std::set<int32_t> all = {
      kWaveUnspecified, kWaveBadDeviceId,   kWaveAllocated,    kWaveInvalidHandle,    kWaveNoDriver,
      kWaveNoMemory,    kWaveNotSupported,  kWaveInvalidParam, kWaveBadFormat,        kWaveStillPlaying,
      kWaveUnprepared,  kWaveDeviceRemoved, kWaveQueueFull,    kWaveSourceUnreadable, kWaveRefused};
  EXPECT_EQ(all, std::set<int32_t>(WaveErrorCodes().begin(), WaveErrorCodes().end()));
  std::set<std::string> texts;
  for (int32_t code : all) {
    const std::string input = WaveErrorText(code, false);
    EXPECT_EQ(WaveErrorText(code, true), "再生デバイス: " + input.substr(input.find(' ') + 1)) << code;
    EXPECT_EQ(input.rfind("録音デバイス: ", 0), 0u) << code;
    EXPECT_EQ(input.find("不明なエラー"), std::string::npos) << code;
    texts.insert(input);
  }
  EXPECT_EQ(texts.size(), all.size());
  EXPECT_EQ(WaveErrorText(kWaveNoError, false), "");
  EXPECT_EQ(WaveErrorText(999, true), "再生デバイス: 不明なエラーです (コード 999)。");
}

}  // namespace
}  // namespace lumora
