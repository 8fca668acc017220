#include "settings/profile_store.h"
#include "settings/win32_profile_store.h"

namespace marvolen {

std::unique_ptr<ProfileStore> OpenSettingsStore(const std::wstring& path) {
  return std::make_unique<Win32ProfileStore>(path);
}

}  // namespace marvolen
