#include "dialogkit/app.h"

#include <vector>

namespace dialogkit {

std::wstring ModulePath() {
  // Paths may exceed MAX_PATH on newer systems: grow until the path fits.
  std::vector<wchar_t> buffer(MAX_PATH);
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::wstring(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

std::wstring FileTitle(const std::wstring& path) {
  const size_t slash = path.find_last_of(L"\\/:");
  std::wstring name = slash == std::wstring::npos ? path : path.substr(slash + 1);
  const size_t dot = name.find_last_of(L'.');
  if (dot != std::wstring::npos) name.erase(dot);
  return name;
}

int RunApp(App& app, HINSTANCE instance) {
  app.instance_ = instance;
  const std::wstring path = ModulePath();
  app.exeName_ = FileTitle(path);
  // No application name is given and no title resource exists for it, so
  // the executable name stands in.
  app.appName_ = app.exeName_;
  const size_t slash = path.find_last_of(L"\\/:");
  const size_t dot = path.find_last_of(L'.');
  const bool hasExtension =
      dot != std::wstring::npos && (slash == std::wstring::npos || dot > slash);
  app.helpFilePath_ = (hasExtension ? path.substr(0, dot) : path) + L".HLP";
  app.profileName_ = app.exeName_ + L".INI";

  if (!app.InitInstance()) return 0;
  MSG msg{};
  while (::GetMessageW(&msg, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&msg);
    ::DispatchMessageW(&msg);
  }
  return 0;
}

}  // namespace dialogkit
