// The MPEG parser and the MP3 codec: headers, tags and frame sync of built and
// encoded files; the bit rates the codec offers, what it refuses, and
// whole-file conversions WAV -> MP3 -> WAV read back through libsndfile.

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <random>
#include <tuple>
#include <utility>

#include "common/LogFiles.h"
#include "common/SndfileCheck.h"
#include "common/TempDir.h"
#include "formats/Mp3acm.h"
#include "formats/Mpeg.h"
#include "support/EventPump.h"

namespace lumora {
namespace {

// Frames and tags built byte by byte, and PCM tones.
using Bytes = std::vector<unsigned char>;

Bytes Cat(std::initializer_list<Bytes> parts, int times = 1) {
  Bytes all;
  for (int i = 0; i < times; ++i) {
    for (const Bytes& part : parts) all.insert(all.end(), part.begin(), part.end());
  }
  return all;
}

// A frame of `length` bytes: the header 0xFF b1 b2 b3, then filler without 0xFF.
Bytes MpegFrame(uint8_t b1, uint8_t b2, uint8_t b3, size_t length = 417, uint8_t fill = 0x55) {
  Bytes frame(length, fill);
  frame[0] = 0xFF, frame[1] = b1, frame[2] = b2, frame[3] = b3;
  return frame;
}

// MPEG-1 Layer III, 128 kbit/s, 44100 Hz, joint stereo: ChunkBytes 1254.
Bytes Frame128(size_t length = 417) { return MpegFrame(0xFB, 0x90, 0x64, length); }

// A VBR header frame: "Xing" (all flags) or "Info" at `at`, the frame count 8 bytes behind.
Bytes VbrFrame(const char* id, uint8_t b1, uint8_t b2, uint8_t b3, uint32_t frames, size_t at,
               size_t length) {
  Bytes frame = MpegFrame(b1, b2, b3, length, 0);
  std::memcpy(&frame[at], id, 4);
  frame[at + 7] = 0x0F;
  for (int i = 0; i < 4; ++i) frame[at + 8 + i] = static_cast<unsigned char>(frames >> (24 - 8 * i));
  return frame;
}

// An ID3v2 tag with the given syncsafe size bytes and bodyBytes of zeros.
Bytes Id3v2Tag(const Bytes& sizeBytes, size_t bodyBytes) {
  Bytes tag = Cat({{'I', 'D', '3', 3, 0, 0}, sizeBytes});
  tag.resize(10 + bodyBytes, 0);
  return tag;
}

Bytes Id3v1Tag() { return Cat({{'T', 'A', 'G'}, Bytes(125, ' ')}); }

// An APEv2 tag of itemBytes, with its header and footer (32 bytes each).
Bytes ApeTag(size_t itemBytes) {
  auto part = [&](uint8_t flags) {
    Bytes p = {'A', 'P', 'E', 'T', 'A', 'G', 'E', 'X', 0xD0, 0x07, 0, 0};
    const size_t size = itemBytes + 32;
    p.insert(p.end(),
             {uint8_t(size), uint8_t(size >> 8), uint8_t(size >> 16), 0, 1, 0, 0, 0, 0, 0, 0, flags});
    p.resize(32, 0);
    return p;
  };
  return Cat({part(0xA0), Bytes(itemBytes, 'a'), part(0x80)});
}

// Interleaved 16-bit PCM bytes: sines of leftHz and rightHz at amplitude 8000.
Bytes Tone(int32_t rate, int32_t channels, int64_t frames, double leftHz, double rightHz = 0) {
  std::vector<int16_t> pcm(static_cast<size_t>(frames * channels));
  for (size_t i = 0; i < pcm.size(); ++i) {
    const double hz = i % channels == 0 ? leftHz : rightHz;
    pcm[i] = static_cast<int16_t>(std::lround(8000 * std::sin(2 * M_PI * hz * (i / channels) / rate)));
  }
  const auto* bytes = reinterpret_cast<const unsigned char*>(pcm.data());
  return Bytes(bytes, bytes + pcm.size() * 2);  // little-endian host
}

// Whole-file conversions WAV -> MP3 -> WAV, read back through libsndfile.
class Mp3RoundTrip : public ::testing::Test {
 protected:
  void WriteWav(int32_t rate, int32_t bits, int32_t channels, const Bytes& data) {
    ASSERT_TRUE(test::WriteWav(wav_, rate, bits, channels, data));
  }
  int32_t Encode(int32_t kbps) {
    codec_.EncFromWavfile(wav_, mp3_, kbps, ok_);
    return ok_;
  }
  int32_t Decode() {
    codec_.DecFrommp3file(mp3_, back_, ok_);
    return ok_;
  }

  // Rate, channels, length (the input plus at most the codec delay and the last
  // frame's padding), and each channel's level (against the 8000-amplitude sine)
  // and pitch past the codec delay. Rises count from below -1000 to above +1000,
  // so that coding noise at a zero crossing does not count twice.
  static void ExpectTones(const test::SndfileView& view, int32_t rate, int32_t channels, int64_t frames,
                          const std::vector<double>& hz) {
    ASSERT_TRUE(view.opened && view.strict) << view.log;
    EXPECT_EQ(std::pair(view.rate, view.channels), std::pair(rate, channels));
    EXPECT_GE(view.frames, frames);
    EXPECT_LE(view.frames, frames + 3 * 1152);
    for (int32_t c = 0; c < channels; ++c) {
      double sum = 0;
      int64_t rises = 0;
      bool low = false;
      for (int64_t i = rate / 5; i < frames - rate / 5; ++i) {
        const double s = view.samples[i * channels + c] / 65536.0;
        sum += s * s;
        if (s < -1000) low = true;
        if (low && s > 1000) ++rises, low = false;
      }
      const double count = frames - 2 * (rate / 5);
      EXPECT_NEAR(20 * std::log10(std::sqrt(sum / count) / (8000 / std::sqrt(2.0))), 0, 1) << "channel " << c;
      EXPECT_NEAR(rises * rate / count, hz[c], hz[c] / 100) << "channel " << c;
    }
  }

  test::LogCapture log_;
  test::TempDir dir_;
  std::string wav_ = dir_.file("in.wav");
  std::string mp3_ = dir_.file("take.mp3");
  std::string back_ = dir_.file("back.wav");
  C_mp3acm codec_;
  int32_t ok_ = -1;
};

TEST_F(Mp3RoundTrip, StereoIsABareStreamThatDecodesWithoutItsTags) {
  WriteWav(44100, 16, 2, Tone(44100, 2, 88200, 440, 1000));
  ASSERT_EQ(Encode(128), 1);
  const Bytes stream = test::ReadFileBytes(mp3_);
  const std::string text(stream.begin(), stream.end());
  EXPECT_EQ(stream.at(0), 0xFF);
  for (const char* tag : {"Xing", "Info", "TAG", "ID3"}) EXPECT_EQ(text.find(tag), std::string::npos) << tag;
  MpegInfo info;
  ASSERT_EQ(ParseMpegFile(mp3_, 1, info), 1);
  EXPECT_EQ(info.LongText, "mp3(44100Hz/128kbps/JointStereo)");
  EXPECT_EQ(info.DataLength, static_cast<int64_t>(stream.size()));
  EXPECT_NEAR(info.DurationMs, 2000, 100);
  ASSERT_EQ(Decode(), 1);
  const test::SndfileView back = test::ReadWithSndfile(back_, true);
  ExpectTones(back, 44100, 2, 88200, {440, 1000});

  // Tags around the stream are not decoded.
  const Bytes converted = test::ReadFileBytes(back_);
  test::WriteFileBytes(mp3_, Cat({Id3v2Tag({0, 0, 40, 0}, 5120), stream, Id3v1Tag()}));
  ASSERT_EQ(Decode(), 1);
  EXPECT_EQ(test::ReadFileBytes(back_), converted);
}

TEST_F(Mp3RoundTrip, ProgressRunsWindowEventsAndCancelStops) {
  int pumped = 0;
  SetEventPump([&] { ++pumped; });
  WriteWav(8000, 16, 1, Tone(8000, 1, 500000, 300));  // two blocks of at most 442368 frames
  std::vector<float> steps;
  codec_.EncProg = [&](int32_t&, float fraction) { steps.push_back(fraction); };
  ASSERT_EQ(Encode(32), 1);
  EXPECT_EQ(steps, (std::vector<float>{1.0f / 500000, 442369.0f / 500000}));
  steps.clear();
  ASSERT_EQ(Decode(), 1);
  EXPECT_GT(steps.size(), 5u);
  EXPECT_TRUE(std::is_sorted(steps.begin(), steps.end()) && steps.back() < 1);
  EXPECT_EQ(pumped, 2 + static_cast<int>(steps.size()));
  SetEventPump(nullptr);

  // A cancel ends the conversion after that block and removes the partial file.
  codec_.EncProg = [](int32_t& cancel, float) { cancel = 1; };
  EXPECT_EQ(Encode(32), 0);
  EXPECT_EQ(codec_.Canceled(), 1);
  EXPECT_FALSE(std::filesystem::exists(mp3_));
  EXPECT_NE(log_.Text(".log").find("Canceled#" + mp3_), std::string::npos);
  codec_.EncProg = nullptr;
  ASSERT_EQ(Encode(32), 1);  // the next conversion starts uncanceled
  int calls = 0;
  codec_.EncProg = [&](int32_t& cancel, float) { cancel = ++calls == 2; };
  EXPECT_EQ(Decode(), 0);
  EXPECT_EQ(calls, 2);
  EXPECT_FALSE(std::filesystem::exists(back_));
}

TEST_F(Mp3RoundTrip, FailuresKeepExistingFiles) {
  const Bytes keep = {'k', 'e', 'e', 'p'};
  test::WriteFileBytes(mp3_, keep);
  test::WriteFileBytes(back_, keep);
  EXPECT_EQ(Encode(128), 0);  // no WAV file
  WriteWav(44100, 24, 2, Bytes(6000, 0));
  EXPECT_EQ(Encode(128), 0);  // MP3 only from 16-bit PCM
  WriteWav(44100, 16, 2, Tone(44100, 2, 1000, 440));
  EXPECT_EQ(Encode(100), 0);  // no such bit rate
  EXPECT_EQ(test::ReadFileBytes(mp3_), keep);
  EXPECT_EQ(Decode(), 0);  // "keep" is no MPEG file
  EXPECT_EQ(test::ReadFileBytes(back_), keep);

  codec_.EncFromWavfile(wav_, dir_.file("missing/take.mp3"), 128, ok_);
  EXPECT_EQ(ok_, 0);
  EXPECT_NE(log_.Text(".err").find("Write Error " + dir_.file("missing/take.mp3")), std::string::npos);
}

WaveFileInfo Format(int32_t rate, int16_t bits, int16_t channels) {
  WaveFileInfo info;
  info.sampleRate = rate, info.bitsPerSample = bits, info.channels = channels;
  info.blockAlign = bits / 8 * channels;
  return info;
}

class Mp3Codec : public ::testing::Test {
 protected:
  int32_t Open(int32_t kbps, const WaveFileInfo& format) {
    codec_.EncInit(kbps, &format, ok_);
    return ok_;
  }
  int32_t Proc(int64_t n) {
    codec_.EncProc(silence_.data(), n, out_, used_, produced_, ok_);
    return ok_;
  }

  test::LogCapture log_;
  C_mp3acm codec_;
  const Bytes silence_ = Bytes(27648, 0);
  std::vector<uint8_t> out_;
  int64_t used_ = 0;
  int64_t produced_ = 0;
  int32_t ok_ = 0;
};

// The encoder never refuses a setting itself (it would change the rate
// silently), so the rates offered are those of each MPEG version.
TEST_F(Mp3Codec, OfferedBitRatesAreThoseOfEachVersion) {
  codec_.Init(0);
  EXPECT_EQ(codec_.EncAvailable(), 1);
  const std::vector<std::string> all = {"320", "256", "224", "192", "160", "128", "112", "96",
                                        "80",  "64",  "56",  "48",  "40",  "32",  "24"};
  ComboModel combo{{"stale"}, "stale"};
  const struct {
    int32_t rate, formatIndex;
    size_t first, end;
  } cases[] = {{48000, 3, 0, 14}, {22050, 2, 4, 15}, {8000, 3, 9, 15}, {96000, 3, 0, 0}, {44100, 5, 0, 0}};
  for (const auto& c : cases) {
    codec_.LoadBitRateToCombo(combo, c.rate, c.formatIndex, 0);
    EXPECT_EQ(combo.items, std::vector(all.begin() + c.first, all.begin() + c.end)) << c.rate;
  }
  codec_.LoadBitRateToCombo(combo, 22050, 2, 24);  // the previous rate is reselected
  EXPECT_EQ(combo.text, "24");
  codec_.LoadBitRateToCombo(combo, 8000, 3, 128);  // not offered: the highest instead
  EXPECT_EQ(combo.text, "64");
  for (const WaveFileInfo& format : {Format(44100, 24, 2), Format(44100, 16, 6), {}}) {
    EXPECT_EQ(Open(128, format), 0) << format.sampleRate << " Hz " << format.bitsPerSample << " bit";
  }
  EXPECT_EQ(Open(24, Format(8000, 16, 1)), 1);
}

TEST_F(Mp3Codec, WhatTheCodecRefuses) {
  EXPECT_EQ(Proc(100), 0);  // no stream opened

  ASSERT_EQ(Open(128, Format(44100, 16, 2)), 1);
  EXPECT_EQ(Proc(3), 0);                          // less than one stereo frame
  EXPECT_TRUE(Proc(4003) == 1 && used_ == 4000);  // only whole frames are taken

  codec_.EncFlush(out_, produced_, ok_);
  EXPECT_EQ(ok_, 1);
  EXPECT_EQ(Proc(4000), 0);  // the flush ended the stream
  ASSERT_EQ(Open(128, Format(44100, 16, 2)), 1);
  codec_.AcmClose();
  EXPECT_EQ(Proc(4000), 0);

  codec_.DecInit(nullptr, ok_);
  EXPECT_EQ(ok_, 0);
  codec_.DecProc(silence_.data(), 100, out_, produced_, ok_);
  EXPECT_TRUE(ok_ == 0 && produced_ == 0 && out_.empty());
}

class Mpeg : public ::testing::Test {
 protected:
  int32_t Parse(const Bytes& bytes, const std::string& name = "take.mp3", int32_t streamStart = 0) {
    path_ = dir_.file(name);
    test::WriteFileBytes(path_, bytes);
    return ParseMpegFile(path_, streamStart, info_);
  }
  int64_t Sync(int64_t position) { return FindFrameSync(path_, position, info_); }

  test::TempDir dir_;
  std::string path_;
  MpegInfo info_;
};

TEST_F(Mpeg, HeaderFieldsAndTexts) {
  ASSERT_EQ(Parse(Frame128(1000000)), 1);  // one header, 1 000 000 data bytes
  EXPECT_EQ(info_.DurationMs, 62500);

  const struct {
    Bytes header;
    int32_t lsf, channels;
    const char* longText;
    const char* shortText;
  } cases[] = {
      {{0xFB, 0x90, 0x64}, 0, 2, "mp3(44100Hz/128kbps/JointStereo)", "mp3(44.1kHz/128kb/JS)"},
      {{0xFD, 0xE4, 0x00}, 0, 2, "mp2(48000Hz/384kbps/Stereo)", "mp2(48kHz/384kb/ST)"},
      {{0xF3, 0x50, 0xC0}, 1, 1, "mp3(22050Hz/40kbps/Mono)", "mp3(22.05kHz/40kb/Mono)"},
      {{0xE3, 0x80, 0xC0}, 1, 1, "mp3(11025Hz/64kbps/Mono)", "mp3(11.025kHz/64kb/Mono)"},  // MPEG-2.5
  };
  for (const auto& c : cases) {
    // Not *.mp3: there 0xFF 0xFF (Layer I, MPEG-1) would not start a frame.
    ASSERT_EQ(Parse(MpegFrame(c.header[0], c.header[1], c.header[2], 4000), "x.bin"), 1) << c.longText;
    EXPECT_EQ(std::tuple(info_.LongText, info_.ShortText, info_.Lsf, info_.Channels),
              std::tuple(c.longText, c.shortText, c.lsf, c.channels));
  }
}

// Where the audio data starts and ends, or 0 for files without a usable frame.
TEST_F(Mpeg, TagsAndSyncRulesPlaceTheData) {
  // ID3v2 size bytes 00 00 02 01: the search starts at 257 + 10 = 267, past a
  // decoy header near the end of the tag.
  Bytes id3 = Id3v2Tag({0, 0, 2, 1}, 257);
  std::copy_n(MpegFrame(0xF3, 0x50, 0xC0, 4).begin(), 4, id3.begin() + 258);
  // A second tag whose UTF-16 text starts with a byte-order mark that reads as
  // a Layer I header at 48000 Hz; a version 4 tag with a footer.
  Bytes bom = Id3v2Tag({0, 0, 0, 20}, 20), footed = Id3v2Tag({0, 0, 0, 10}, 20);
  std::copy_n(Bytes{0xFF, 0xFE, 0x54, 0x00}.begin(), 4, bom.begin() + 12);
  footed[5] = 0x10;
  Bytes tagBlock = Id3v1Tag();
  tagBlock[60] = 0xFF, tagBlock[61] = 0xF3, tagBlock[62] = 0x50;
  const Bytes frames = Cat({Frame128()}, 4), tag = Id3v1Tag(), ape = ApeTag(2000);
  std::mt19937 random(12345);
  Bytes noSync(20000);
  for (auto& b : noSync) b = static_cast<unsigned char>(random() % 0xFF);
  const struct {
    Bytes bytes;
    int64_t firstFrame;  // 0: no usable frame
    int64_t tagBytes = 0;
    const char* name = "take.mp3";
    int32_t streamStart = 0;
  } cases[] = {
      {Cat({id3, frames, tag}), 268, 128},
      {Cat({id3, bom, footed, frames, ape}), 268 + 30 + 30, 2064},
      {Cat({Bytes{0xFF, 0xFE, 0x54, 0x00}, Bytes(400, 0x11), frames, ape, tag}), 405, 2064 + 128},
      {Cat({frames, ApeTag(10)}), 1, 74},
      {Cat({tagBlock, frames}), 129},
      {Cat({frames, tag}), 1, 0, "take.mp3", 1},  // the recorder's own files are taken whole
      {Cat({{0xFF}, frames}), 2, 0, "a.MP3"},     // 0xFF 0xFF starts no frame in *.mp3 files,
      {Cat({{0xFF}, frames}), 2, 0, "a.dat"},     // elsewhere it is no valid header here
      // A first header with byte 3 = 0xFF names the second byte to look for.
      {Cat({MpegFrame(0xFB, 0xFF, 0x64, 100), MpegFrame(0xF3, 0x50, 0xC0, 100), frames}), 201},
      {Cat({Bytes(1994, 0x11), frames}), 1995},  // a header straddling the 1000-byte search blocks
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const auto& c = cases[i];
    ASSERT_EQ(Parse(c.bytes, c.name, c.streamStart), c.firstFrame > 0 ? 1 : 0) << "case " << i;
    if (c.firstFrame == 0) continue;
    EXPECT_EQ(info_.FirstFrame, c.firstFrame) << "case " << i;
    EXPECT_EQ(info_.DataEnd, static_cast<int64_t>(c.bytes.size()) - c.tagBytes) << "case " << i;
    EXPECT_EQ(info_.DataLength, info_.DataEnd - c.firstFrame + 1) << "case " << i;
  }
  for (const Bytes& bytes :
       {Bytes{}, Frame128(47), Bytes(5000, 0xFF), noSync, tag, Id3v2Tag({0x7F, 0x7F, 0x7F, 0x7F}, 100),
        MpegFrame(0xF9, 0x90, 0x64, 1000), MpegFrame(0xFB, 0xF0, 0x64, 1000)}) {
    EXPECT_EQ(Parse(bytes), 0) << bytes.size() << " bytes";  // the last two: layer, bit rate
  }
  EXPECT_EQ(ParseMpegFile(dir_.file("missing.mp3"), 0, info_), 0);
}

// The VBR header sits behind the side information, whose size depends on the
// version and the channel mode. Frames of 208 bytes: 64 kbit/s at 44100 and
// 22050 Hz, 32 kbit/s at 11025 Hz.
TEST_F(Mpeg, VbrHeadersOfEveryVersionAndChannelMode) {
  const struct {
    uint8_t b1, b2, b3;
    size_t at;
    int32_t durationMs, kbps;  // of 21 frames
  } layouts[] = {{0xFB, 0x50, 0x00, 36, 549, 64},
                 {0xFB, 0x50, 0xC0, 21, 549, 64},
                 {0xF3, 0x80, 0x40, 21, 549, 64},
                 {0xF3, 0x80, 0xC0, 13, 549, 64},
                 {0xE3, 0x40, 0xC0, 13, 1097, 32}};
  for (const auto& l : layouts) {
    SCOPED_TRACE(testing::Message() << std::hex << int{l.b1} << " " << int{l.b3});
    const Bytes audio = Cat({MpegFrame(l.b1, l.b2, l.b3, 208)}, 20);
    ASSERT_EQ(Parse(Cat({VbrFrame("Xing", l.b1, l.b2, l.b3, 21, l.at, 208), audio})), 1);
    EXPECT_EQ(info_.IsVbr, 1);
    EXPECT_EQ(info_.DurationMs, l.durationMs);
    EXPECT_EQ(info_.Bitrate, l.kbps);
    EXPECT_NE(info_.LongText.find("[VBR]"), std::string::npos);
  }
  // An "Info" frame marks a constant bit rate, which its own header need not
  // show (56 kbit/s in front of 64 kbit/s audio): the audio frames' rate counts.
  const Bytes audio = Cat({MpegFrame(0xFB, 0x50, 0xC0, 208)}, 20);
  ASSERT_EQ(Parse(Cat({VbrFrame("Info", 0xFB, 0x40, 0xC0, 20, 21, 182), audio})), 1);
  EXPECT_EQ(info_.LongText, "mp3(44100Hz/64kbps/Mono)");
  EXPECT_EQ(info_.FirstFrame, 1);

  // A count that gives no usable bit rate is ignored.
  for (uint32_t frames : {0u, 0xFFFFFFFFu}) {
    ASSERT_EQ(Parse(Cat({VbrFrame("Xing", 0xFB, 0x90, 0x64, frames, 36, 417), Frame128()})), 1);
    EXPECT_EQ(std::tuple(info_.IsVbr, info_.Bitrate, info_.DurationMs), std::tuple(0, 128, 52));
  }
}

// Files the lame encoder writes, with its VBR or "Info" header frame first.
TEST_F(Mpeg, DurationOfEncodedFilesOfEveryVersion) {
  const struct {
    int32_t rate, channels;
    const char* mode;
  } cases[] = {{44100, 2, "-V 5"}, {22050, 1, "-V 5"}, {11025, 1, "-V 7"}, {24000, 2, "--cbr -b 64"}};
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << c.rate << " Hz " << c.channels << " ch " << c.mode);
    const std::string wav = dir_.file("in.wav"), mp3 = dir_.file("lame.mp3");
    const std::string command = "sox -n -r " + std::to_string(c.rate) + " -c " + std::to_string(c.channels) +
                                " -b 16 '" + wav + "' synth 6 sine 200:4000 && lame --quiet " + c.mode +
                                " '" + wav + "' '" + mp3 + "' 2>/dev/null";
    if (std::system(command.c_str()) != 0) GTEST_SKIP() << "no sox or lame program";
    ASSERT_EQ(ParseMpegFile(mp3, 0, info_), 1);
    EXPECT_NEAR(info_.DurationMs, 6000, 120);
    EXPECT_EQ(info_.IsVbr, c.mode[1] == 'V' ? 1 : 0);
  }
  EXPECT_EQ(info_.Bitrate, 64);
}

// Junk holding a header without a single equal scored bit (no frame at all)
// and one that differs in the CRC bit only (41 of 42 points), which loses to
// the exact header further on.
TEST_F(Mpeg, FrameSyncFindsTheBestHeaderWithinTwoChunks) {
  Bytes junk1(2518, 0x33), junk2(1000, 0x33);
  const Bytes none = {0xFF, 0xF4, 0x6D, 0x9B}, crc = {0xFF, 0xFA, 0x90, 0x64};
  std::copy(none.begin(), none.end(), junk1.begin() + 100);
  std::copy(crc.begin(), crc.end(), junk2.begin() + 100);
  ASSERT_EQ(Parse(Cat({Frame128(), junk1, Frame128(), junk2, Frame128(1000)}), "take.mp3", 1), 1);
  const int64_t end = info_.DataEnd;  // the last frame starts at end - 999
  EXPECT_EQ(Sync(-5), 1);             // clamped to the first frame
  EXPECT_EQ(Sync(418), end + 1);      // the next frame lies beyond 2 x 1254 bytes
  EXPECT_EQ(Sync(2000), 2936);
  EXPECT_EQ(Sync(2937), end - 999);
  EXPECT_EQ(Sync(end - 1252), end + 1);  // a window shorter than ChunkBytes
  EXPECT_EQ(Sync(end + 500), end + 1);

  FileHandle handle = GetFH(path_, 0);  // a handle passed in stays open
  EXPECT_EQ(FindFrameSync(path_, 2000, info_, handle), 2936);
  EXPECT_EQ(ParseMpegFile(path_, 1, handle, info_), 1);
  EXPECT_GT(FileSizeOf(handle), 0);
  CloseFH(handle);
  std::filesystem::remove(path_);
  EXPECT_EQ(Sync(2000), end + 1);
}

}  // namespace
}  // namespace lumora
