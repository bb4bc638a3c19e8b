#pragma once
// Where the transport and the recorder send the remote box's tally codes (the
// command byte of a tally write). The remote implements it; without a remote
// box nothing is sent.

#include <cstdint>

namespace lumora {

// Tally output 1 lights while playing, 2 while recording, 3 while paused. "On"
// sends the output's number and "off" 100 + it; a box whose outputs are wired
// the other way round (inverted) gets the two swapped.
inline int32_t TallyCode(int32_t output, bool on, int32_t invert) {
  return on ? invert * 100 + output : 100 + output - invert * 100;
}

class TallySink {
 public:
  virtual ~TallySink() = default;
  virtual void SendTally(int32_t code) = 0;
  // 1 when the box's outputs are inverted ("USBTallyInvert"), else 0.
  virtual int32_t TallyInvert() const { return 0; }
  void SetTallyOutput(int32_t output, bool on) { SendTally(TallyCode(output, on, TallyInvert())); }
};

}  // namespace lumora
