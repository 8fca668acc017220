// The settings file: where it lives, and loading and saving its eight keys.
#pragma once

#include <cstdint>
#include <string>

#include "settings/profile_store.h"
#include "synthesis/signal_settings.h"

namespace marvolen {

inline constexpr wchar_t kSettingsSection[] = L"Setting_Data";

// The settings path for an executable path: its folder, its file name without
// the extension, then ".INI". Empty when the executable path or the result
// does not fit MAX_PATH, or the folder part exceeds 255 characters: a store
// on the empty path reads the defaults and writes nothing.
std::wstring BuildSettingsPath(const std::wstring& executablePath);

// Reads the eight keys in file order. Fills every field of `settings` but
// SampleRate and returns the stored rate-list index (taken as read, even when
// outside the list). Writes nothing.
int32_t LoadSettings(ProfileStore& store, SignalSettings& settings);

// Writes the eight keys in file order; failures are not reported.
void SaveSettings(ProfileStore& store, int32_t rateIndex, const SignalSettings& settings);

}  // namespace marvolen
