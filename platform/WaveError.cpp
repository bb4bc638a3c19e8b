#include "platform/WaveError.h"

#include <algorithm>
#include <array>

namespace lumora {
namespace {

struct ErrorEntry {
  int32_t code;
  const char* text;
};

// The one table of texts; every code of WaveError has its line here.
constexpr std::array<ErrorEntry, 15> kErrorTable = {{
    {kWaveUnspecified, "サウンドシステムがエラーを返しました。詳しくはエラーログを見てください。"},
    {kWaveBadDeviceId, "指定されたデバイスはありません。"},
    {kWaveAllocated, "デバイスは別のプログラムが使用中です。"},
    {kWaveInvalidHandle, "デバイスが開かれていません。"},
    {kWaveNoDriver, "応答するサウンドシステムがありません。"},
    {kWaveNoMemory, "メモリが足りません。"},
    {kWaveNotSupported, "このデバイスはこの操作に対応していません。"},
    {kWaveInvalidParam, "バッファの指定が正しくありません。"},
    {kWaveBadFormat, "このデバイスは指定されたフォーマットに対応していません。"},
    {kWaveStillPlaying, "バッファはまだキューにあります。"},
    {kWaveUnprepared, "バッファが準備されていません。"},
    {kWaveDeviceRemoved, "デバイスが取り外されました。"},
    {kWaveQueueFull, "キューに入れられるバッファの数を超えました。"},
    {kWaveSourceUnreadable, "入力のファイルを読み込めません。"},
    {kWaveRefused, "デバイスが要求を拒否しました (シミュレーション)。"},
}};

}  // namespace

std::string WaveErrorText(int32_t code, bool output) {
  if (code == kWaveNoError) return {};
  const std::string origin = output ? "再生デバイス: " : "録音デバイス: ";
  const auto entry = std::find_if(kErrorTable.begin(), kErrorTable.end(),
                                  [code](const ErrorEntry& e) { return e.code == code; });
  if (entry == kErrorTable.end()) return origin + "不明なエラーです (コード " + std::to_string(code) + ")。";
  return origin + entry->text;
}

}  // namespace lumora
