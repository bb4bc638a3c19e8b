// The level displays of both sides fed by a synthetic take: a 440 Hz tone
// rising from silence past the red point, a pause, then the tone again. The
// input side shows the end of it, the playback side an earlier moment,
// magnified; the hold marks keep the highest peak so far.

#include <algorithm>
#include <cmath>
#include <numbers>
#include <vector>

#include "GalleryPage.h"
#include "Sections.h"
#include "meters/LevelScan.h"
#include "meters/ui/C_VU.h"
#include "meters/ui/LevelHistoryDisplay.h"
#include "meters/ui/MeterPanel.h"
#include "meters/ui/MeterSetup.h"

namespace lumora {
namespace {

constexpr int32_t kRate = 44100;

// Level of the take in dB at time t (seconds): silence, a rise from -60 to
// -3 dB, a pause, -8 dB; the right channel 6 dB below the left.
double ToneDb(double t) {
  if (t < 0.3) return -120;
  if (t < 1.8) return -60 + 57 * (t - 0.3) / 1.5;
  if (t < 2.2) return -120;
  return -8;
}

// 50 buffers of 100 ms of the take, as a capture ring holds them.
struct TakeRing {
  TakeRing() {
    const int64_t n = kRate / 10;
    buffers.resize(kRingBuffers);
    for (int i = 0; i < kRingBuffers; ++i) {
      for (int64_t f = i * n; f < (i + 1) * n; ++f) {
        const double t = static_cast<double>(f) / kRate;
        const double wave = 32767 * std::sin(2 * std::numbers::pi * 440 * t);
        for (double gain : {1.0, 0.5}) {
          const auto v = static_cast<int16_t>(std::lround(wave * gain * std::pow(10.0, ToneDb(t) / 20)));
          buffers[i].push_back(static_cast<uint8_t>(v));
          buffers[i].push_back(static_cast<uint8_t>(v >> 8));
        }
      }
      table[i].firstRange = {i * n, i * n + n - 1};
      table[i].firstData = table[i].secondData = buffers[i].data();
    }
  }
  std::vector<std::vector<uint8_t>> buffers;
  FrameTable table{};
};

// Draws on the meter with a hold mark at the highest peak so far.
class PeakHold : public VuMeter {
 public:
  explicit PeakHold(C_VU& vu) : vu_(vu) {}
  void DrawVU(int32_t bar, float rmsDb, float peakDb, const std::string& text, float) override {
    hold_[bar] = std::max(hold_[bar], peakDb);
    vu_.DrawVU(bar, rmsDb, peakDb, text, hold_[bar]);
  }

 private:
  C_VU& vu_;
  float hold_[2] = {-99.9f, -99.9f};
};

// One side's meter and history, fed tick by tick (40 ms) up to `seconds` of the take.
void AddSide(GalleryPage& page, LevelSide side, double seconds, float waveRate, const QString& label) {
  LevelState levels;
  levels.SetupFormat({kRate, 16, 2});
  const TakeRing ring;
  MeterPanel* meterPanel = NewVuPanel(&page);
  meterPanel->resize(page.Px(4500) + 6, 1);
  C_VU vu;
  SetupVuMeter(vu, *meterPanel, static_cast<float>(page.SizeRate()), -20.0f);
  MeterPanel* historyPanel = NewHistoryPanel(&page);
  historyPanel->resize(page.Px(4500) + 6, page.Px(900) + 6);
  SetupHistoryPanel(*historyPanel);
  LevelHistoryDisplay history(&historyPanel->PictureBox());
  history.SetupFormat(levels, waveRate);
  PeakHold meter(vu);
  for (int64_t end = kRate / 25; end <= seconds * kRate; end += kRate / 25) {
    ScanLevels(levels, side, ring.table, end, false, {&meter, &history, true});
  }
  page.Row();
  page.Add(meterPanel, label + QStringLiteral(": C_VU"));
  page.Add(historyPanel, label + QStringLiteral(": level history"));
}

}  // namespace

void AddMetersSection(GalleryPage& page) {
  page.Section(QStringLiteral("C_VU and the level history"));
  AddSide(page, LevelSide::kInput, 2.6, 1.0f, QStringLiteral("input at 2.6 s (-8 dB after a pause)"));
  AddSide(page, LevelSide::kPlayback, 1.2, 4.0f, QStringLiteral("playback at 1.2 s (rising), WaveRate 4"));
}

}  // namespace lumora
