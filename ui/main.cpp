// The entry of Marvolen.exe and its one global: the application object.
#include <windows.h>

#include "dialogkit/app.h"
#include "ui/marvolen_app.h"

CMarvolenApp theApp;

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int) {
  return dialogkit::RunApp(theApp, instance);
}
