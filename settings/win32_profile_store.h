// The profile operations through the platform's private-profile functions:
// the store the Windows program uses for its settings file.
#pragma once

#include <string>

#include "settings/profile_store.h"

namespace marvolen {

class Win32ProfileStore final : public ProfileStore {
 public:
  // An empty path is no file: every key reads as its default and every write
  // is refused. (The platform would take an empty or bare name as a file in
  // the Windows folder.)
  explicit Win32ProfileStore(std::wstring path) : path_(std::move(path)) {}

  int32_t GetProfileInt(const std::wstring& section, const std::wstring& key,
                        int32_t fallback) override;
  std::wstring GetProfileString(const std::wstring& section, const std::wstring& key,
                                const std::wstring& fallback) override;
  bool WriteProfileInt(const std::wstring& section, const std::wstring& key,
                       int32_t value) override;
  bool WriteProfileString(const std::wstring& section, const std::wstring& key,
                          const std::wstring& value) override;

 private:
  std::wstring path_;
};

// Creates `path` as an empty UTF-16LE file with its byte-order mark when no
// file is there; an existing file is left alone. The platform writes a new
// profile file in the ANSI code page, which turns Japanese file names into
// '?'; a file that starts with the mark is kept in UTF-16. True when the
// file exists afterwards.
bool CreateUnicodeProfileFile(const std::wstring& path);

}  // namespace marvolen
