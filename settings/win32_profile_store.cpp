#include "settings/win32_profile_store.h"

#include <windows.h>

#include <vector>

#include "settings/win32_handle.h"

namespace marvolen {
namespace {

// The platform's buffer: at most 4095 characters and the terminator arrive.
constexpr DWORD kStringBufferLength = 4096;

}  // namespace

bool CreateUnicodeProfileFile(const std::wstring& path) {
  bool written = false;
  {
    UniqueHandle file(CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) return GetLastError() == ERROR_FILE_EXISTS;
    static constexpr unsigned char kUtf16LeBom[] = {0xFF, 0xFE};
    DWORD count = 0;
    written = WriteFile(file.get(), kUtf16LeBom, sizeof kUtf16LeBom, &count, nullptr) &&
              count == sizeof kUtf16LeBom;
    written = file.Close() && written;
  }
  // A file left without its mark would be written in ANSI after all.
  if (!written) DeleteFileW(path.c_str());
  return written;
}

int32_t Win32ProfileStore::GetProfileInt(const std::wstring& section, const std::wstring& key,
                                         int32_t fallback) {
  if (path_.empty()) return fallback;
  return static_cast<int32_t>(GetPrivateProfileIntW(section.c_str(), key.c_str(),
                                                    static_cast<INT>(fallback), path_.c_str()));
}

std::wstring Win32ProfileStore::GetProfileString(const std::wstring& section,
                                                 const std::wstring& key,
                                                 const std::wstring& fallback) {
  if (path_.empty()) return fallback.substr(0, kStringBufferLength - 1);
  std::vector<wchar_t> buffer(kStringBufferLength);
  const DWORD length = GetPrivateProfileStringW(section.c_str(), key.c_str(), fallback.c_str(),
                                                buffer.data(), kStringBufferLength, path_.c_str());
  return std::wstring(buffer.data(), length < kStringBufferLength ? length : 0);
}

bool Win32ProfileStore::WriteProfileInt(const std::wstring& section, const std::wstring& key,
                                        int32_t value) {
  return WriteProfileString(section, key, std::to_wstring(value));
}

bool Win32ProfileStore::WriteProfileString(const std::wstring& section, const std::wstring& key,
                                           const std::wstring& value) {
  if (path_.empty()) return false;
  CreateUnicodeProfileFile(path_);
  return WritePrivateProfileStringW(section.c_str(), key.c_str(), value.c_str(), path_.c_str()) !=
         FALSE;
}

}  // namespace marvolen
