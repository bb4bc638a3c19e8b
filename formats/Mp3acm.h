#pragma once
// The MP3 codec: encodes 16-bit PCM to MPEG Layer-3 (LAME, constant bit rate, no
// resampling, no tags: the output is a bare MPEG stream that begins with a frame
// sync) and decodes blocks of whole MPEG frames to 16-bit PCM (mpg123). One
// object serves both directions, one stream at a time: EncInit or DecInit opens
// a stream, AcmClose closes it. Opening replaces a stream of the same direction.
//
// Results follow the recorder's hand-off: out flags ok = 1 on success, 0 on
// failure; failures of EncProc are written to the log. Byte counts are 64-bit.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "formats/Mpeg.h"
#include "formats/Wav.h"

namespace lumora {

class LameEncoder;
class Mpg123Decoder;

// The entries of a choice list and its selected text (empty: nothing selected);
// the window copies it into its combo box.
struct ComboModel {
  std::vector<std::string> items;
  std::string text;
};

class C_mp3acm {
 public:
  C_mp3acm();
  ~C_mp3acm();
  C_mp3acm(const C_mp3acm&) = delete;
  C_mp3acm& operator=(const C_mp3acm&) = delete;

  // Set by a whole-file conversion from the cancel argument of EncProg; a
  // conversion starts with it cleared and stops after the block during which it
  // became non-zero. The window may also set it while the conversion lets
  // window events run.
  int32_t Canceled() const { return canceled_; }
  void SetCanceled(int32_t value) { canceled_ = value; }

  // With 1, every EncProc call after EncInit must pass the byte count of the
  // first one; another count fails.
  void SetEncSizeFixed(int32_t value) { encSizeFixed_ = value; }

  // Sets EncAvailable to 1 when an encoder and a decoder can be created. With
  // pNoMessage 0 a failure is also shown as "mp3エンコーダー登録ができません".
  void Init(int32_t pNoMessage);
  int32_t EncAvailable() const { return encAvailable_; }

  // Opens the encoder. kbps 0 keeps the previous bit rate, info null the
  // previous source format; of info only sampleRate, bitsPerSample, channels
  // and blockAlign are used. ok = 0 unless the source is 16-bit mono or stereo
  // (block align 2 x channels) and the bit rate is one the encoder takes for
  // that rate and channel count without changing it (see LoadBitRateToCombo).
  void EncInit(int32_t kbps, const WaveFileInfo* info, int32_t& ok);

  // Encodes n bytes of PCM at src (whole frames are taken; used tells how many
  // bytes). The MP3 bytes are left at the start of out, produced tells how many;
  // they may be 0 while the encoder collects a frame. out is grown to twice the
  // worst-case output when it is smaller than that, and never shrunk. ok = 0 (and
  // a log line) when n < 1, src is null, no encoder is open, the size differs
  // under SetEncSizeFixed(1), or the encoder fails.
  void EncProc(const uint8_t* src, int64_t n, std::vector<uint8_t>& out, int64_t& used, int64_t& produced,
               int32_t& ok);

  // Ends the stream: the frames the encoder still holds (the last partial frame
  // padded with silence) are left at the start of out, produced tells how many
  // bytes. Closes the encoder. ok = 0 when no encoder is open.
  void EncFlush(std::vector<uint8_t>& out, int64_t& produced, int32_t& ok);

  // Fills combo with the bit rates (kbit/s, highest first) that the encoder
  // takes for the rate and FormatIndex (2 16-bit mono, 3 16-bit stereo) and
  // selects current when listed, else the first entry. Any other FormatIndex,
  // and rates the encoder would resample (88200, 96000, 192000 Hz), leave the
  // combo empty.
  void LoadBitRateToCombo(ComboModel& combo, int32_t rate, int32_t formatIndex, int32_t current);

  // Closes any open stream; data an encoder still holds is dropped (a take
  // calls EncFlush first).
  void AcmClose();

  // Opens the decoder for the rate and channels of info; the output is always
  // interleaved 16-bit PCM. ok = 0 for a null info or a rate or channel count
  // the decoder cannot produce.
  void DecInit(const MpegInfo* info, int32_t& ok);

  // Decodes n bytes of MPEG data at src, best given as whole frames (a partial
  // frame waits for the rest in the next call). out is resized to the PCM bytes
  // produced. ok = 0 when n < 1, src is null, no decoder is open, or the
  // decoder reports an error.
  void DecProc(const uint8_t* src, int64_t n, std::vector<uint8_t>& out, int64_t& produced, int32_t& ok);

  // Whole-file conversions. EncProg is raised once per block with the fraction
  // done; window events run after it. An existing output file is replaced only
  // once the input has been read and the codec opened. ok = 1 only when every
  // block was converted and written; otherwise the half-written output file is
  // deleted. SetEncSizeFixed does not apply here. Both leave the codec closed.
  void EncFromWavfile(const std::string& wavPath, const std::string& mp3Path, int32_t kbps, int32_t& ok);
  void DecFrommp3file(const std::string& mp3Path, const std::string& wavPath, int32_t& ok);

  // Progress of a whole-file conversion: set cancel to non-zero to stop it.
  std::function<void(int32_t& cancel, float progress)> EncProg;

 private:
  void RaiseProgress(double fraction);
  bool EncodeWavData(const std::string& wavPath, const std::string& mp3Path, const WaveFileInfo& info);
  bool DecodeMpegData(const std::string& mp3Path, const std::string& wavPath, const MpegInfo& info);

  std::unique_ptr<LameEncoder> encoder_;
  std::unique_ptr<Mpg123Decoder> decoder_;
  int32_t encAvailable_ = 0;
  int32_t canceled_ = 0;
  int32_t encSizeFixed_ = 0;
  int64_t encSize_ = 0;  // byte count of the first EncProc call under EncSizeFixed
  int32_t kbps_ = 0;
  WaveFileInfo source_;
  int32_t decBlockSize_ = 0;  // bytes of one frame at the decoder's nominal bit rate
};

}  // namespace lumora
