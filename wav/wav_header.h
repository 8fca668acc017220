// The 44-byte header of a PCM WAVE file: RIFF chunk, "fmt " chunk, data chunk
// header, all little-endian, nothing else.
#pragma once

#include <array>
#include <cstdint>

#include "synthesis/signal_settings.h"

namespace marvolen {

constexpr size_t kWavHeaderSize = 44;

struct WavHeader {
  std::array<char, 4> RiffId;
  uint32_t RiffSize;  // file size minus the 8 bytes of "RIFF" and this field
  std::array<char, 4> WaveId;
  std::array<char, 4> FmtId;
  uint32_t FmtSize;
  uint16_t FormatTag;
  uint16_t Channels;
  uint32_t SamplesPerSec;
  uint32_t BytesPerSec;
  uint16_t BlockAlign;
  uint16_t BitsPerSample;
  std::array<char, 4> DataId;
  uint32_t DataSize;
};

// The header of a six-second file for the rate, width and channels of
// `settings`, which must hold accepted values.
WavHeader BuildWavHeader(const SignalSettings& settings);

// The header as it stands in the file.
std::array<uint8_t, kWavHeaderSize> SerializeWavHeader(const WavHeader& header);

}  // namespace marvolen
