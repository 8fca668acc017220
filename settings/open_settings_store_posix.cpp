#include "settings/ini_store.h"
#include "settings/profile_store.h"

namespace marvolen {

std::unique_ptr<ProfileStore> OpenSettingsStore(const std::wstring& path) {
  return std::make_unique<IniFileStore>(path);
}

}  // namespace marvolen
