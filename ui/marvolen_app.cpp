#include "ui/marvolen_app.h"

#include <commctrl.h>

#include "settings/executable_path.h"
#include "settings/profile_store.h"
#include "settings/settings_file.h"
#include "ui/marvolen_dlg.h"

BOOL CMarvolenApp::InitInstance() {
  INITCOMMONCONTROLSEX controls{};
  controls.dwSize = sizeof(controls);
  controls.dwICC = ICC_WIN95_CLASSES;
  ::InitCommonControlsEx(&controls);  // failure changes nothing we rely on

  App::InitInstance();

  SettingsPath = marvolen::BuildSettingsPath(marvolen::ExecutablePath());
  SetProfileName(SettingsPath);

  const auto store = marvolen::OpenSettingsStore(profileName());
  CMarvolenDlg dialog(*store);
  SetMainWindow(&dialog);
  dialog.DoModal();  // every way out leads on the same way
  SetMainWindow(nullptr);
  return FALSE;
}
