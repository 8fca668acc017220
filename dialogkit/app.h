// The application object and the program's entry into it.
//
//   class CMyApp : public dialogkit::App {
//     BOOL InitInstance() override { CMyDlg dlg; SetMainWindow(&dlg); dlg.DoModal();
//                                    SetMainWindow(nullptr); return FALSE; }
//   };
//   CMyApp theApp;   // the one application object, the program's only global
//   int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
//     return dialogkit::RunApp(theApp, instance);
//   }
//
// The names come from the executable's file name, as the classic framework
// derives them: nothing is read from the command line or the registry.
#pragma once

#include <windows.h>

#include <string>

namespace dialogkit {

class Dialog;

class App {
 public:
  App() = default;
  virtual ~App() = default;
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Called once by RunApp after the names are set. FALSE ends the program at
  // once; TRUE runs a plain message loop until WM_QUIT.
  virtual BOOL InitInstance() { return TRUE; }

  HINSTANCE instance() const { return instance_; }
  // The executable's file name without its extension ("Marvolen").
  const std::wstring& exeName() const { return exeName_; }
  // The caption of the framework's message boxes: the executable name.
  const std::wstring& appName() const { return appName_; }
  // The executable's full path with the extension replaced by ".HLP".
  const std::wstring& helpFilePath() const { return helpFilePath_; }
  // The file the profile operations act on; "<exe name>.INI" until replaced.
  const std::wstring& profileName() const { return profileName_; }
  void SetProfileName(std::wstring path) { profileName_ = std::move(path); }

  // The dialog that stands for the application's main window while it runs.
  Dialog* mainWindow() const { return mainWindow_; }
  void SetMainWindow(Dialog* dialog) { mainWindow_ = dialog; }

 private:
  friend int RunApp(App& app, HINSTANCE instance);

  HINSTANCE instance_ = nullptr;
  std::wstring exeName_;
  std::wstring appName_;
  std::wstring helpFilePath_;
  std::wstring profileName_;
  Dialog* mainWindow_ = nullptr;
};

// The body of wWinMain: derives the names, runs InitInstance and, if it
// returns TRUE, a message loop. Returns the process's exit status (0).
int RunApp(App& app, HINSTANCE instance);

// The full path of the running executable.
std::wstring ModulePath();
// The file name of `path` without its directory and extension.
std::wstring FileTitle(const std::wstring& path);

}  // namespace dialogkit
