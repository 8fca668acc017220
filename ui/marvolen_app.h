// The application object: start-up of the program and its one main dialog.
#pragma once

#include <windows.h>

#include <string>

#include "dialogkit/app.h"

class CMarvolenApp : public dialogkit::App {
 public:
  CMarvolenApp() = default;  // no application name: the executable's name stands in
  ~CMarvolenApp() override = default;

  // Prepares the common controls and the settings path, runs the main dialog
  // modally and returns FALSE, so the program ends when the dialog does.
  BOOL InitInstance() override;

  // The settings file beside the executable; also the profile name. Fixed for
  // the whole run.
  std::wstring SettingsPath;
};
