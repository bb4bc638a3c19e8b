#pragma once
// Where the transport and the recorder send the remote box's tally codes (the
// command byte of a tally write). The remote implements it; without a remote
// box nothing is sent.

#include <cstdint>

namespace lumora {

class TallySink {
 public:
  virtual ~TallySink() = default;
  virtual void SendTally(int32_t code) = 0;
};

}  // namespace lumora
