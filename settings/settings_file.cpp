#include "settings/settings_file.h"

namespace marvolen {
namespace {

// MAX_PATH is 260 characters with the terminator.
constexpr size_t kMaxPathLength = 259;
// The directory part, after any drive designator, up to its last separator.
constexpr size_t kMaxDirectoryLength = 255;

bool IsAsciiLetter(wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); }

}  // namespace

// Past the limits (an executable path or a settings path longer than 259
// characters, a directory part longer than 255) the result is the empty path,
// never a shortened one: a shortened path would name some other file. An
// empty path gives a store that reads every key as its default and refuses
// every write, so the program runs with the defaults and touches no file.
// The same holds for an executable path without a file name.
std::wstring BuildSettingsPath(const std::wstring& executablePath) {
  if (executablePath.empty() || executablePath.size() > kMaxPathLength) return {};
  const size_t driveLength =
      executablePath.size() >= 2 && IsAsciiLetter(executablePath[0]) && executablePath[1] == L':'
          ? 2
          : 0;
  const size_t lastSeparator = executablePath.find_last_of(L"\\/");
  const size_t nameStart = lastSeparator == std::wstring::npos ? driveLength : lastSeparator + 1;
  if (nameStart - driveLength > kMaxDirectoryLength) return {};

  const std::wstring_view name = std::wstring_view(executablePath).substr(nameStart);
  if (name.empty()) return {};
  const size_t dot = name.rfind(L'.');
  const std::wstring_view stem = dot == std::wstring_view::npos ? name : name.substr(0, dot);

  std::wstring path = executablePath.substr(0, nameStart);
  path += stem;
  path += L".INI";
  if (path.size() > kMaxPathLength) return {};
  return path;
}

int32_t LoadSettings(ProfileStore& store, SignalSettings& settings) {
  const std::wstring section = kSettingsSection;
  // Each frequency falls back to its own default alone.
  const auto frequency = [&](const wchar_t* key, int32_t fallback) {
    const int32_t hz = store.GetProfileInt(section, key, fallback);
    return IsValidToneFrequency(hz) ? hz : fallback;
  };
  const int32_t rateIndex = store.GetProfileInt(section, L"ComboFreqListCurSel", 0);
  settings.SaveFileName = store.GetProfileString(section, L"SaveFileName", L"TestSound01.wav");
  settings.BitSize = store.GetProfileInt(section, L"BitSize", kBitSize16);
  settings.Monaural = store.GetProfileInt(section, L"Monaural", kStereo);
  settings.SelectHousoukyoku = store.GetProfileInt(section, L"SelectHousoukyoku", kStationNhk);
  settings.NoticeSoundFreq1 = frequency(L"NoticeSoundFreq1", 440);
  settings.NoticeSoundFreq2 = frequency(L"NoticeSoundFreq2", 400);
  settings.MainSignalSoundFreq = frequency(L"MainSignalSoundFreq", 880);
  return rateIndex;
}

void SaveSettings(ProfileStore& store, int32_t rateIndex, const SignalSettings& settings) {
  const std::wstring section = kSettingsSection;
  // A failed write does not stop the others: each key that can be saved is.
  store.WriteProfileInt(section, L"ComboFreqListCurSel", rateIndex);
  store.WriteProfileString(section, L"SaveFileName", settings.SaveFileName);
  store.WriteProfileInt(section, L"BitSize", settings.BitSize);
  store.WriteProfileInt(section, L"Monaural", settings.Monaural);
  store.WriteProfileInt(section, L"SelectHousoukyoku", settings.SelectHousoukyoku);
  store.WriteProfileInt(section, L"NoticeSoundFreq1", settings.NoticeSoundFreq1);
  store.WriteProfileInt(section, L"NoticeSoundFreq2", settings.NoticeSoundFreq2);
  store.WriteProfileInt(section, L"MainSignalSoundFreq", settings.MainSignalSoundFreq);
}

}  // namespace marvolen
