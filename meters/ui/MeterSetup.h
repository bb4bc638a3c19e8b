#pragma once
// The main window's start-up look of the level displays at the window size
// factor `SizeRate` (0.7 .. 3.0): the same for the input and the playback side.

#include <cstdint>

namespace lumora {

class C_VU;
class MeterPicture;

// Lays `vu` out on `picture` (its width as the window placed it; its height is
// set to fit the bars and the scale), with the red point at redPointDb
// (setting "VULevelTrim"), and draws the labels and the scale.
void SetupVuMeter(C_VU& vu, MeterPicture& picture, float sizeRate, float redPointDb);

// Colours of a level history picture; the history's SetupFormat lays it out.
void SetupHistoryPicture(MeterPicture& picture);

}  // namespace lumora
