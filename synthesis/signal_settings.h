// The generation parameters of one time signal and the values derived from them.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>

namespace marvolen {

// Sample-width codes of BitSize.
constexpr int32_t kBitSize8 = 0;
constexpr int32_t kBitSize16 = 1;
constexpr int32_t kBitSize24 = 2;

// Channel codes of Monaural (the key keeps its name: 1 means stereo).
constexpr int32_t kMono = 0;
constexpr int32_t kStereo = 1;

// Station codes of SelectHousoukyoku.
constexpr int32_t kStationNhk = 0;
constexpr int32_t kStationNippon = 1;

constexpr int32_t kMinToneFrequency = 5;
constexpr int32_t kMaxToneFrequency = 20000;

constexpr int32_t kSignalSeconds = 6;
constexpr int32_t kNoticeSeconds = 3;

// Everything that decides what a generation produces. Plain data; the
// defaults are the ones used when the settings file holds no value.
struct SignalSettings {
  int32_t SampleRate = 0;  // set from the rate list before each generation
  std::wstring SaveFileName = L"TestSound01.wav";
  int32_t BitSize = kBitSize16;
  int32_t Monaural = kStereo;
  int32_t SelectHousoukyoku = kStationNhk;
  int32_t NoticeSoundFreq1 = 440;
  int32_t NoticeSoundFreq2 = 400;
  int32_t MainSignalSoundFreq = 880;

  friend bool operator==(const SignalSettings&, const SignalSettings&) = default;
};

struct SampleRateEntry {
  const wchar_t* text;
  int32_t rate;
};

// The entries of the rate list, in list order. The settings file stores an
// index into this list, so the order is part of the file format.
constexpr std::array<SampleRateEntry, 6> kSampleRateList{{
    {L"8000", 8000},
    {L"9600", 9600},
    {L"22050", 22050},
    {L"44100", 44100},
    {L"48000", 48000},
    {L"96000", 96000},
}};

// The rate of list entry `index`, or nothing when the index is outside the list.
std::optional<int32_t> SampleRateAt(int32_t index);

// The list index of `rate`, or nothing when the rate is not in the list.
std::optional<int32_t> SampleRateIndexOf(int32_t rate);

bool IsListedSampleRate(int32_t rate);
bool IsValidToneFrequency(int32_t hz);

// Bytes of one channel's sample: 1, 2 or 3.
int32_t BytesPerSample(const SignalSettings& settings);
// 1 for mono, 2 for stereo.
int32_t ChannelCount(const SignalSettings& settings);
// Frames in a tenth of a second, truncated.
int32_t PipUnit(const SignalSettings& settings);
// Peak amplitude of a tone: 127, 32767 or 8388607 (never the negative limit).
double FullScaleAmplitude(int32_t bitSize);
// The value of a silent sample: 128 for 8-bit, 0 otherwise.
int32_t SilenceValue(int32_t bitSize);

// A field that stops a generation, with its name and offending value.
struct SettingsProblem {
  const wchar_t* key;
  int32_t value;
};

// The first field outside the values a generation accepts, if any. The file
// name is not checked: opening it is the test of a name.
std::optional<SettingsProblem> FindSettingsProblem(const SignalSettings& settings);

}  // namespace marvolen
