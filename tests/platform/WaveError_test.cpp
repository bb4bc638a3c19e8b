#include "platform/WaveError.h"

#include <gtest/gtest.h>

#include <set>

namespace lumora {
namespace {

TEST(WaveError, EveryCodeHasItsOwnTextNamingTheDevice) {
  std::set<std::string> texts;
  for (int32_t code : WaveErrorCodes()) {
    const std::string input = WaveErrorText(code, false);
    EXPECT_EQ(WaveErrorText(code, true), "再生デバイス: " + input.substr(input.find(' ') + 1)) << code;
    EXPECT_EQ(input.find("不明なエラー"), std::string::npos) << code;
    texts.insert(input);
  }
  EXPECT_EQ(texts.size(), WaveErrorCodes().size());
  EXPECT_EQ(WaveErrorText(999, true), "再生デバイス: 不明なエラーです (コード 999)。");
}

}  // namespace
}  // namespace lumora
