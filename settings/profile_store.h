// The four profile operations on one INI file, as the settings need them.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

// <windows.h> maps GetProfileInt, GetProfileString and WriteProfileString to
// their A/W functions with macros, which would rename the members below in
// some files and not in others. Including it here first and removing the
// macros makes every order of includes see the same names; the platform
// functions stay reachable by their W names.
#ifdef _WIN32
#include <windows.h>
#undef GetProfileInt
#undef GetProfileString
#undef WriteProfileString
#endif

namespace marvolen {

class ProfileStore {
 public:
  virtual ~ProfileStore() = default;
  // The integer under section/key; `fallback` when the key is absent.
  virtual int32_t GetProfileInt(const std::wstring& section, const std::wstring& key,
                                int32_t fallback) = 0;
  // The text under section/key, at most 4095 characters; `fallback` when absent.
  virtual std::wstring GetProfileString(const std::wstring& section, const std::wstring& key,
                                        const std::wstring& fallback) = 0;
  // Sets one key as "%d" text; true on success.
  virtual bool WriteProfileInt(const std::wstring& section, const std::wstring& key,
                               int32_t value) = 0;
  // Sets one key to the text; true on success.
  virtual bool WriteProfileString(const std::wstring& section, const std::wstring& key,
                                  const std::wstring& value) = 0;
};

// The store the program uses for the settings file at `path`: the platform's
// private-profile functions on Windows, the portable INI store elsewhere.
std::unique_ptr<ProfileStore> OpenSettingsStore(const std::wstring& path);

}  // namespace marvolen
