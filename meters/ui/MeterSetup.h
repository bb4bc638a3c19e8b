#pragma once
// The main window's start-up look of the level displays at the window size
// factor `SizeRate` (0.7 .. 3.0): the same for the input and the playback side.
// The window gives each panel its width first; these set the heights that
// follow from it.
//
// In operation, per side: each LevelHistoryDisplay's SetupFormat(levels,
// WaveRate) at every format setup; the meter and history as the ScanOutputs of
// the side's full scans; when the side stops, ResetVU(-1) on its meter and
// Clear() on its history (the level state resets its own position).

class QWidget;

namespace lumora {

class C_VU;
class MeterPanel;

// A meter panel (light frame RGB(96, 96, 96)) and a history panel (RGB(80, 80, 80)).
MeterPanel* NewVuPanel(QWidget* parent);
MeterPanel* NewHistoryPanel(QWidget* parent);

// Lays `vu` out on the panel's picture (as wide as the panel allows, as tall as
// the bars and the scale need), with the red point at redPointDb (setting
// "VULevelTrim"), and draws the labels and the scale.
void SetupVuMeter(C_VU& vu, MeterPanel& panel, float sizeRate, float redPointDb);

// The history picture fills the panel, in its colours; the history's
// SetupFormat then lays the columns out.
void SetupHistoryPanel(MeterPanel& panel);

}  // namespace lumora
