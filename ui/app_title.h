// The caption of the program's own message boxes.
#pragma once

#include <windows.h>

#include <string>

// String resource IDS_APP_TITLE ("Marvolen"); empty when the resource is missing.
std::wstring LoadAppTitle();

// The program's own message box: `text`, the LoadAppTitle caption, the
// information icon and one OK button, owned by `owner`.
int ShowAppMessage(HWND owner, const std::wstring& text);
