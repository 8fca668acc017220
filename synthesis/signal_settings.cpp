#include "synthesis/signal_settings.h"

namespace marvolen {

std::optional<int32_t> SampleRateAt(int32_t index) {
  if (index < 0 || index >= static_cast<int32_t>(kSampleRateList.size())) {
    return std::nullopt;
  }
  return kSampleRateList[static_cast<size_t>(index)].rate;
}

std::optional<int32_t> SampleRateIndexOf(int32_t rate) {
  for (size_t i = 0; i < kSampleRateList.size(); ++i) {
    if (kSampleRateList[i].rate == rate) {
      return static_cast<int32_t>(i);
    }
  }
  return std::nullopt;
}

bool IsListedSampleRate(int32_t rate) { return SampleRateIndexOf(rate).has_value(); }

bool IsValidToneFrequency(int32_t hz) { return hz >= kMinToneFrequency && hz <= kMaxToneFrequency; }

int32_t BytesPerSample(const SignalSettings& settings) { return settings.BitSize + 1; }

int32_t ChannelCount(const SignalSettings& settings) { return settings.Monaural + 1; }

int32_t PipUnit(const SignalSettings& settings) { return settings.SampleRate / 10; }

double FullScaleAmplitude(int32_t bitSize) {
  switch (bitSize) {
    case kBitSize8:
      return 127.0;
    case kBitSize16:
      return 32767.0;
    default:
      return 8388607.0;
  }
}

int32_t SilenceValue(int32_t bitSize) { return bitSize == kBitSize8 ? 128 : 0; }

std::optional<SettingsProblem> FindSettingsProblem(const SignalSettings& s) {
  if (!IsListedSampleRate(s.SampleRate)) return SettingsProblem{L"SampleRate", s.SampleRate};
  if (s.BitSize < kBitSize8 || s.BitSize > kBitSize24)
    return SettingsProblem{L"BitSize", s.BitSize};
  if (s.Monaural != kMono && s.Monaural != kStereo) return SettingsProblem{L"Monaural", s.Monaural};
  if (s.SelectHousoukyoku != kStationNhk && s.SelectHousoukyoku != kStationNippon) {
    return SettingsProblem{L"SelectHousoukyoku", s.SelectHousoukyoku};
  }
  if (!IsValidToneFrequency(s.NoticeSoundFreq1)) {
    return SettingsProblem{L"NoticeSoundFreq1", s.NoticeSoundFreq1};
  }
  if (!IsValidToneFrequency(s.NoticeSoundFreq2)) {
    return SettingsProblem{L"NoticeSoundFreq2", s.NoticeSoundFreq2};
  }
  if (!IsValidToneFrequency(s.MainSignalSoundFreq)) {
    return SettingsProblem{L"MainSignalSoundFreq", s.MainSignalSoundFreq};
  }
  return std::nullopt;
}

}  // namespace marvolen
