#include "tests/settings/settings_test_support.h"

#ifdef _WIN32
#include <windows.h>

#include "settings/win32_profile_store.h"
#else
#include <sys/stat.h>
#endif

#include <atomic>
#include <chrono>
#include <fstream>
#include <iterator>

#include "common/text.h"
#include "settings/ini_store.h"

namespace marvolen::settings_testing {

std::wstring DecodeText(const std::string& bytes) {
  if (bytes.size() >= 2 && bytes[0] == '\xFF' && bytes[1] == '\xFE') {
    std::u16string units;
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      units += static_cast<char16_t>(static_cast<uint8_t>(bytes[i]) |
                                     (static_cast<uint8_t>(bytes[i + 1]) << 8));
    }
    std::string utf8;  // through UTF-8, so that wchar_t may be 16 or 32 bits wide
    for (size_t i = 0; i < units.size(); ++i) {
      char32_t c = units[i];
      if (c >= 0xD800 && c <= 0xDBFF && i + 1 < units.size()) {
        c = 0x10000 + ((c - 0xD800) << 10) + (units[++i] - 0xDC00);
      }
      utf8 += WideToUtf8(std::wstring(1, static_cast<wchar_t>(c < 0x10000 ? c : 0xFFFD)));
    }
    return Utf8ToWide(utf8);
  }
  if (bytes.rfind("\xEF\xBB\xBF", 0) == 0) return Utf8ToWide(bytes.substr(3));
  return Utf8ToWide(bytes);
}

std::vector<std::wstring> Lines(const std::wstring& text) {
  std::vector<std::wstring> lines;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find(L'\n', start);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = text.substr(start, end - start);
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    lines.push_back(line);
    start = end + 1;
  }
  return lines;
}

void SetReadOnly(const std::filesystem::path& path, bool readOnly) {
#ifdef _WIN32
  SetFileAttributesW(path.wstring().c_str(),
                     readOnly ? FILE_ATTRIBUTE_READONLY : FILE_ATTRIBUTE_NORMAL);
#else
  ::chmod(path.c_str(), readOnly ? 0444 : 0644);
#endif
}

bool PlatformRefusesWritingReadOnlyFiles(const std::filesystem::path& readOnlyFile) {
#ifdef _WIN32
  const HANDLE h = CreateFileW(readOnlyFile.wstring().c_str(), GENERIC_WRITE, 0, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return true;
  CloseHandle(h);
  return false;
#else
  (void)readOnlyFile;
  return true;
#endif
}

std::vector<StoreKind> AllStoreKinds() {
  std::vector<StoreKind> kinds;
  kinds.push_back({"IniFileStore",
                   [](const std::wstring& path) { return std::make_unique<IniFileStore>(path); },
                   false});
#ifdef _WIN32
  kinds.push_back(
      {"Win32ProfileStore",
       [](const std::wstring& path) { return std::make_unique<Win32ProfileStore>(path); }, true});
#endif
  return kinds;
}

}  // namespace marvolen::settings_testing
