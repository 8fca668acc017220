#include "tests/ui/main_dialog_support.h"

#include <cwchar>

#include "dialogkit/data_exchange.h"

namespace uitest {

int32_t MemoryStore::GetProfileInt(const std::wstring&, const std::wstring& key, int32_t fallback) {
  const auto found = values.find(key);
  if (found == values.end()) return fallback;
  return dialogkit::ScanInt(found->second).value_or(0);
}

std::wstring MemoryStore::GetProfileString(const std::wstring&, const std::wstring& key,
                                           const std::wstring& fallback) {
  const auto found = values.find(key);
  return found == values.end() ? fallback : found->second;
}

bool MemoryStore::WriteProfileInt(const std::wstring& section, const std::wstring& key,
                                  int32_t value) {
  return WriteProfileString(section, key, std::to_wstring(value));
}

bool MemoryStore::WriteProfileString(const std::wstring&, const std::wstring& key,
                                     const std::wstring& value) {
  values[key] = value;
  writes.emplace_back(key, value);
  return true;
}

bool CloseItemGrayed(HWND dialog) {
  const UINT state = ::GetMenuState(::GetSystemMenu(dialog, FALSE), SC_CLOSE, MF_BYCOMMAND);
  return state != static_cast<UINT>(-1) && (state & MF_GRAYED) != 0;
}

bool ClassHasNoClose(HWND dialog) {
  return (::GetClassLongPtrW(dialog, GCL_STYLE) & CS_NOCLOSE) != 0;
}

std::vector<bool> LockedControlsEnabled(HWND dialog) {
  std::vector<bool> enabled;
  for (const int* id = kLockedControlIds; *id != -1; ++id) {
    enabled.push_back(::IsWindowEnabled(::GetDlgItem(dialog, *id)) != 0);
  }
  return enabled;
}

void WatchedMainDialog::RunGeneration() {
  generations.push_back(GenerationSnapshot{settings(), LockedControlsEnabled(hwnd()),
                                           CloseItemGrayed(hwnd()), ClassHasNoClose(hwnd())});
  if (render_) CMarvolenDlg::RunGeneration();
  ++generationCount;
}

}  // namespace uitest
