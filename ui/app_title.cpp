#include "ui/app_title.h"

#include "dialogkit/message_box.h"
#include "ui/res/resource.h"

std::wstring LoadAppTitle() { return dialogkit::LoadResourceString(IDS_APP_TITLE); }

int ShowAppMessage(HWND owner, const std::wstring& text) {
  return dialogkit::InfoMessageBox(owner, text, LoadAppTitle());
}
