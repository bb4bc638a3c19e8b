#pragma once
// Which devices the program offers. Real devices come from the sound system
// (the PulseAudio server when one answers, ALSA otherwise). Where a kind of
// device has no real device at all, the embedded default stands in: a test
// signal input and a silent output, simulated and paced in real time, so the
// program still runs and records. They are not offered where real devices exist.

#include <memory>
#include <string>

#include "platform/WaveDevice.h"

namespace lumora {

// Names of the embedded default devices.
extern const char* const kTestSignalInputName;  // "内蔵テスト信号 (1 kHz -20 dB)"
extern const char* const kSilentOutputName;     // "内蔵無音出力"

// The sound system's devices (never null; lists no devices when no sound
// system answers): platform/SoundSystemWave.cpp.
std::unique_ptr<WaveBackend> CreateSoundSystemWave();

// `real`, with the embedded default standing in for each kind that has no
// device. The choice is made again each time the names of a kind are listed.
std::unique_ptr<WaveBackend> WithEmbeddedDefault(std::unique_ptr<WaveBackend> real);

// The program's devices: WithEmbeddedDefault(CreateSoundSystemWave()).
std::unique_ptr<WaveBackend> CreateWaveBackend();

}  // namespace lumora
