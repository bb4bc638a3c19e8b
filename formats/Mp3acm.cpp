#include "formats/Mp3acm.h"

#include <cstdint>

#include "formats/Mp3Format.h"
#include "formats/Mp3Lame.h"
#include "formats/Mp3Mpg123.h"
#include "support/EventPump.h"
#include "support/Log.h"
#include "support/MessageBox.h"

namespace lumora {
namespace {

// Result code of a size query that no output can meet: less than one PCM frame.
constexpr int32_t kSizeNotPossible = 512;

// Grows out to twice the needed size when it is smaller; never shrinks it, so a
// caller that keeps its array pays for the allocation once.
void EnsureRoom(std::vector<uint8_t>& out, int64_t needed) {
  if (static_cast<int64_t>(out.size()) < needed) out.resize(static_cast<size_t>(2 * needed + 1));
}

std::string AddressText(const void* address) { return std::to_string(reinterpret_cast<uintptr_t>(address)); }

}  // namespace

C_mp3acm::C_mp3acm() = default;
C_mp3acm::~C_mp3acm() = default;

void C_mp3acm::Init(int32_t pNoMessage) {
  // The codecs are linked libraries, so there is no codec registration to check
  // or repair: the encoder counts as available when LAME and mpg123 both start.
  encAvailable_ = LameEncoder::Create(44100, 2, 128) && Mpg123Decoder::Create(44100, 2) ? 1 : 0;
  if (encAvailable_ == 0 && pNoMessage == 0) CenteredMessageBox("mp3エンコーダー登録ができません", kCritical);
}

void C_mp3acm::EncInit(int32_t kbps, const WaveFileInfo* info, int32_t& ok) {
  if (kbps != 0) kbps_ = kbps;
  if (info != nullptr) source_ = *info;
  encSize_ = 0;
  encoder_.reset();
  if (source_.bitsPerSample == 16 && source_.blockAlign == 2 * source_.channels) {
    encoder_ = LameEncoder::Create(source_.sampleRate, source_.channels, kbps_);
  }
  ok = encoder_ ? 1 : 0;
}

void C_mp3acm::EncProc(const uint8_t* src, int64_t n, std::vector<uint8_t>& out, int64_t& used,
                       int64_t& produced, int32_t& ok) {
  used = 0;
  produced = 0;
  ok = 0;
  if (n < 1 || src == nullptr || !encoder_) {
    Log("EncProc Fail pSize=" + std::to_string(n) + " pPtrSrc=" + AddressText(src) +
            " c_hacm=" + AddressText(encoder_.get()),
        1);
    return;
  }
  if (encSizeFixed_ == 1 && encSize_ == 0) encSize_ = n;
  if (encSizeFixed_ == 1 && n != encSize_) {
    Log("EncProc Fail c_EncSize=" + std::to_string(encSize_) + " pSize=" + std::to_string(n), 1);
    return;
  }
  const int64_t blockAlign = 2 * encoder_->Channels();
  const int64_t frames = n / blockAlign;
  if (frames < 1) {
    Log("acmStreamSize Fail r(0)=" + std::to_string(kSizeNotPossible) + " pSize=" + std::to_string(n) +
            " tOutSize=0",
        1);
    return;
  }
  EnsureRoom(out, LameEncoder::MaxOutput(frames));
  const int64_t written = encoder_->Encode(src, frames, out.data(), static_cast<int64_t>(out.size()));
  if (written < 0) {
    Log("acmStreamConvert Fail r(2)=" + std::to_string(written), 1);
    return;
  }
  used = frames * blockAlign;
  produced = written;
  ok = 1;
}

void C_mp3acm::EncFlush(std::vector<uint8_t>& out, int64_t& produced, int32_t& ok) {
  produced = 0;
  ok = 0;
  if (!encoder_) {
    Log("EncFlush Fail c_hacm=0", 1);
    return;
  }
  EnsureRoom(out, LameEncoder::MaxOutput(0));
  const int64_t written = encoder_->Flush(out.data(), static_cast<int64_t>(out.size()));
  encoder_.reset();
  if (written < 0) {
    Log("EncFlush Fail r=" + std::to_string(written), 1);
    return;
  }
  produced = written;
  ok = 1;
}

void C_mp3acm::LoadBitRateToCombo(ComboModel& combo, int32_t rate, int32_t formatIndex, int32_t current) {
  combo = ComboModel{};
  // MP3 is offered for 16-bit mono and stereo only.
  const int32_t channels = formatIndex == 2 ? 1 : formatIndex == 3 ? 2 : 0;
  if (channels == 0) return;
  for (const int32_t kbps : kMp3BitRates) {
    if (!LameEncoder::Create(rate, channels, kbps)) continue;
    combo.items.push_back(std::to_string(kbps));
    if (kbps == current) combo.text = combo.items.back();
  }
  if (combo.text.empty() && !combo.items.empty()) combo.text = combo.items.front();
}

void C_mp3acm::AcmClose() {
  encoder_.reset();
  decoder_.reset();
}

void C_mp3acm::DecInit(const MpegInfo* info, int32_t& ok) {
  decoder_.reset();
  if (info != nullptr) {
    decoder_ = Mpg123Decoder::Create(info->SampleRate, info->Channels);
    decBlockSize_ = Mp3BlockSize(info->Bitrate, info->SampleRate);
  }
  ok = decoder_ ? 1 : 0;
}

void C_mp3acm::DecProc(const uint8_t* src, int64_t n, std::vector<uint8_t>& out, int64_t& produced,
                       int32_t& ok) {
  out.clear();
  produced = 0;
  ok = 0;
  if (n < 1 || src == nullptr || !decoder_) return;
  ok = decoder_->Decode(src, n, out) ? 1 : 0;
  produced = static_cast<int64_t>(out.size());
  if (ok == 0) Log("DecProc Fail pSize=" + std::to_string(n), 1);
}

void C_mp3acm::RaiseProgress(double fraction) {
  int32_t cancel = canceled_;
  if (EncProg) EncProg(cancel, static_cast<float>(fraction));
  canceled_ = cancel;
  DoEvents();
}

}  // namespace lumora
