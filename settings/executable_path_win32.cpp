#include <windows.h>

#include <vector>

#include "settings/executable_path.h"

namespace marvolen {

// Grows the buffer until the whole path fits: a truncated path would name
// another folder. The length limits are BuildSettingsPath's to judge.
std::wstring ExecutablePath() {
  for (DWORD size = MAX_PATH; size <= 32768; size *= 2) {
    std::vector<wchar_t> buffer(size);
    const DWORD length = GetModuleFileNameW(nullptr, buffer.data(), size);
    if (length == 0) return {};
    if (length < size) return std::wstring(buffer.data(), length);
  }
  return {};
}

}  // namespace marvolen
