#pragma once
// C_HID: finds the remote box on a HID transport, opens it and exchanges its
// reports: an inquiry (event or state query) answered by the box, and command
// writes that switch its tally outputs. Every wait lets window events run, so
// a slow or unplugged box never freezes the window.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "remote/HidTransport.h"

namespace lumora {

class C_HID {
 public:
  // pMode of HidInit for the remote box.
  static constexpr int32_t kRemoteBoxMode = 64;

  explicit C_HID(HidTransport& transport) : transport_(transport) {}
  ~C_HID() { HidClose(); }
  C_HID(const C_HID&) = delete;
  C_HID& operator=(const C_HID&) = delete;

  // Opens the first present device of the wanted identity: with pMode 64 the
  // remote box numbered pOpt (1 when pOpt is 1 or less); any other pMode
  // finds nothing. 1 when opened, else 0.
  int32_t HidInit(int32_t pMode, int32_t pOpt);
  // Closes the device; safe on a closed object.
  void HidClose();

  // One inquiry and its answer: the value of port (stateQuery 0: the input
  // that fired, 1: the inputs' state byte), or -1 when the exchange failed or
  // the answer was for another port. An event answer of 255 counts as 0 and is
  // not kept unless keep255. While a command write runs, or when closed: the
  // port's last value for a state query, else 0, at once. An input that fired
  // but was answered after the time-out is reported by the next event query.
  int32_t VondRead(int32_t stateQuery = 0, int32_t keep255 = 0, int32_t port = 0);
  // One command report; 1 when written. Codes 0 and 255 send nothing (0).
  int32_t VondWrite(int32_t code, int32_t argument = 0);

  // The time limit of one transfer in ms; never below 50.
  void SetTimeoutMS(int32_t ms) { timeoutMs_ = ms < 50 ? 50 : ms; }
  int32_t TimeoutMS() const { return timeoutMs_; }
  // Diagnostic lines in the log.
  void SetLogError(bool on) { logError_ = on; }
  int32_t ReceiveSize() const { return inputLength_; }
  const std::string& HIDFilename() const { return filename_; }
  bool WhileReadFile() const { return whileReadFile_; }
  bool WhileWriteFile() const { return whileWriteFile_; }

 private:
  int32_t HidIO(bool isRead, int32_t slot);
  int32_t TakeLateAnswers(int32_t port);
  int32_t Exchange(int32_t stateQuery, int32_t keep255, int32_t port);
  void Diagnostic(const std::string& line) const;

  HidTransport& transport_;
  std::unique_ptr<HidDevice> device_;
  std::string filename_;
  int32_t inputLength_ = 0;
  int32_t outputLength_ = 0;
  std::vector<uint8_t> output_;
  std::vector<uint8_t> input_;
  int32_t timeoutMs_ = 500;
  bool logError_ = false;
  std::array<int32_t, 8> lastValue_{255, 255, 255, 255, 255, 255, 255, 255};
  bool whileReadFile_ = false;
  bool whileWriteFile_ = false;
  int32_t lateEvents_ = 0;  // event queries whose answers did not come in time
};

}  // namespace lumora
