#pragma once
// Simulated wave devices: inputs that hear a live SignalSource, outputs that
// play into memory, on a simulated timeline. Tests and the fast headless
// recorder step the timeline by hand (Advance); the embedded default devices are
// paced in real time by a clock thread (StartPacing). Buffers complete on that
// schedule, exactly as many frames per step as the rate gives, so nothing in a
// test waits for the wall clock.
//
// The timeline starts at 0 when the backend is made, and every source runs on
// it from the moment it is added: frames that pass while no device is started
// on a source are gone, as from a microphone.
//
// Devices made by Open share the simulation's state; they stay safe to use and
// destroy after the backend is gone (their time then stands still).

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "platform/SignalSource.h"
#include "platform/WaveDevice.h"

namespace lumora {

struct SimulatedWorld;

class SimulatedWave final : public WaveBackend {
 public:
  SimulatedWave();
  ~SimulatedWave() override;  // stops the pacing thread
  SimulatedWave(const SimulatedWave&) = delete;
  SimulatedWave& operator=(const SimulatedWave&) = delete;

  // Adds a device and returns its id (ids count up per kind; see Pull). An
  // output with keepSamples false plays into nothing (the embedded default).
  // A null source adds nothing and gives -1.
  int32_t AddInput(const std::string& name, std::unique_ptr<SignalSource> source);
  int32_t AddOutput(const std::string& name, bool keepSamples = true);
  // An output that hands each block it plays to `sink` instead of keeping it
  // (called on the thread that advances the timeline, inside Advance).
  int32_t AddOutput(const std::string& name, std::function<void(const uint8_t*, int64_t)> sink);

  std::vector<std::string> DeviceNames(WaveDirection direction) override;
  int32_t Open(WaveDirection direction, int32_t id, const WaveFormat& format,
               std::unique_ptr<WaveDevice>& device) override;

  // The timeline in seconds. Advance moves it on and lets every started device
  // take in (or play) the frames that fall due, on the calling thread.
  void Advance(double seconds);
  double Now() const;
  // Real-time pacing: a clock thread advances the timeline with the steady
  // clock every few milliseconds until StopPacing or destruction.
  void StartPacing();
  void StopPacing();

  // Faults.
  // Every Open fails with `code` until FailOpen(0).
  void FailOpen(int32_t code);
  // After `successfulCalls` more accepted Queue calls (on any device), the next
  // Queue call fails once with `code`.
  void FailQueueAfter(int64_t successfulCalls, int32_t code);
  // After `buffers` more completed buffers (on any device), the next one is
  // filled but left without its done flag (still flagged in-queue); the device
  // goes on with the following buffers.
  void WithholdDoneAfter(int64_t buffers);
  // The device vanishes: it leaves the list (later ids move down by one) and
  // every open device on it takes in or plays nothing more and fails later
  // calls with kWaveDeviceRemoved; its queued buffers come back only when the
  // device is destroyed.
  void Pull(WaveDirection direction, int32_t id);

  // Observation.
  // True once the input's source has ended and its last frame has been handed
  // back in a done buffer, or has passed with no device started on it. Always
  // false for an endless source or an unknown id.
  bool InputFinished(int32_t id) const;
  // Bytes played so far by an output (empty for unknown ids or keepSamples false).
  std::vector<uint8_t> OutputBytes(int32_t id) const;

 private:
  std::shared_ptr<SimulatedWorld> world_;
  std::jthread pacer_;  // after world_: stopped before the world is let go
};

}  // namespace lumora
