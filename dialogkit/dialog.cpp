#include "dialogkit/dialog.h"

#include "dialogkit/data_exchange.h"
#include "dialogkit/message_box.h"

namespace dialogkit {
namespace {

// The window property that marks our dialogs, so the pre-translation chain
// finds the Dialog behind an owner window. DWLP_USER alone cannot tell: a
// message box is a dialog too, with a DWLP_USER of its own.
constexpr wchar_t kDialogProperty[] = L"dialogkit.Dialog";

Dialog* DialogOf(HWND hwnd) { return static_cast<Dialog*>(::GetPropW(hwnd, kDialogProperty)); }

// Messages whose result a dialog procedure returns directly instead of
// through DWLP_MSGRESULT.
bool ReturnsResultDirectly(UINT message) {
  switch (message) {
    case WM_CTLCOLORMSGBOX:
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC:
    case WM_COMPAREITEM:
    case WM_VKEYTOITEM:
    case WM_CHARTOITEM:
    case WM_QUERYDRAGICON:
    case WM_INITDIALOG:
      return true;
    default:
      return false;
  }
}

bool ModifierHeld() {
  return (::GetKeyState(VK_SHIFT) < 0) || (::GetKeyState(VK_CONTROL) < 0) ||
         (::GetKeyState(VK_MENU) < 0);
}

// Disables the owner for the life of a modal loop and enables it again,
// before the dialog window goes, so that the owner is activated next.
class OwnerDisabler {
 public:
  explicit OwnerDisabler(HWND owner) {
    if (owner && ::IsWindowEnabled(owner)) {
      owner_ = owner;
      ::EnableWindow(owner_, FALSE);
    }
  }
  ~OwnerDisabler() { Restore(); }
  OwnerDisabler(const OwnerDisabler&) = delete;
  OwnerDisabler& operator=(const OwnerDisabler&) = delete;

  void Restore() {
    if (owner_) ::EnableWindow(owner_, TRUE);
    owner_ = nullptr;
  }

 private:
  HWND owner_ = nullptr;
};

// Destroys the dialog window on every way out of DoModal.
class WindowDestroyer {
 public:
  explicit WindowDestroyer(HWND hwnd) : hwnd_(hwnd) {}
  ~WindowDestroyer() {
    if (::IsWindow(hwnd_)) ::DestroyWindow(hwnd_);
  }
  WindowDestroyer(const WindowDestroyer&) = delete;
  WindowDestroyer& operator=(const WindowDestroyer&) = delete;

 private:
  HWND hwnd_;
};

// Centres `hwnd` over its owner, or over the work area without one, kept
// inside the work area of the monitor it lands on.
void CenterOverOwner(HWND hwnd, HWND owner) {
  RECT self{};
  ::GetWindowRect(hwnd, &self);
  RECT area{};
  HMONITOR monitor = ::MonitorFromWindow(owner ? owner : hwnd, MONITOR_DEFAULTTONEAREST);
  MONITORINFO info{};
  info.cbSize = sizeof(info);
  if (::GetMonitorInfoW(monitor, &info)) {
    area = info.rcWork;
  } else {
    ::SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
  }
  RECT center = area;
  if (owner && ::IsWindowVisible(owner) && !::IsIconic(owner)) ::GetWindowRect(owner, &center);
  const LONG width = self.right - self.left;
  const LONG height = self.bottom - self.top;
  LONG x = (center.left + center.right - width) / 2;
  LONG y = (center.top + center.bottom - height) / 2;
  if (x + width > area.right) x = area.right - width;
  if (y + height > area.bottom) y = area.bottom - height;
  if (x < area.left) x = area.left;
  if (y < area.top) y = area.top;
  ::SetWindowPos(hwnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

Dialog::Dialog(UINT templateId, Dialog* parent) : templateId_(templateId), parent_(parent) {}

Dialog::~Dialog() {
  // A dialog object normally outlives its window (DoModal destroys it). If
  // not, the procedure must not reach a dead object.
  if (hwnd_ && ::IsWindow(hwnd_)) {
    ::SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
    ::RemovePropW(hwnd_, kDialogProperty);
    ::DestroyWindow(hwnd_);
  }
}

HWND Dialog::FindOwner() const {
  HWND owner = parent_ ? parent_->hwnd() : ::GetActiveWindow();
  // A child window cannot own a popup: take its top-level window.
  while (owner && (::GetWindowLongPtrW(owner, GWL_STYLE) & WS_CHILD)) owner = ::GetParent(owner);
  return owner;
}

INT_PTR Dialog::DoModal() {
  const HWND owner = FindOwner();
  OwnerDisabler disabler(owner);
  ended_ = false;
  quit_ = false;
  result_ = -1;
  const HWND created =
      ::CreateDialogParamW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner,
                           &Dialog::DialogProc, reinterpret_cast<LPARAM>(this));
  if (!created) return -1;
  WindowDestroyer destroyer(created);

  if (!ended_ && !::IsWindowVisible(created)) ::ShowWindow(created, SW_SHOWNORMAL);
  while (!ended_) {
    if (!PumpMessage()) {
      // WM_QUIT (posted again by PumpMessage) ends the loop as a cancel; a
      // failed queue as an error.
      if (!ended_) result_ = quit_ ? IDCANCEL : -1;
      break;
    }
  }
  disabler.Restore();
  return result_;
}

void Dialog::EndDialog(INT_PTR result) {
  result_ = result;
  ended_ = true;
  // Wake the loop in case EndDialog came from outside a dispatched message.
  if (hwnd_) ::PostMessageW(hwnd_, WM_NULL, 0, 0);
}

bool Dialog::PumpMessage() {
  MSG msg{};
  const BOOL got = ::GetMessageW(&msg, nullptr, 0, 0);
  if (got == -1) return false;
  if (got == 0) {
    quit_ = true;
    ::PostQuitMessage(static_cast<int>(msg.wParam));
    return false;
  }
  // This dialog first, then the dialogs that own it.
  for (HWND window = hwnd_; window; window = ::GetWindow(window, GW_OWNER)) {
    Dialog* dialog = DialogOf(window);
    if (dialog && dialog->PreTranslateMessage(msg)) return true;
  }
  ::TranslateMessage(&msg);
  ::DispatchMessageW(&msg);
  return true;
}

bool Dialog::UpdateData(bool saveAndValidate) {
  DataExchange dx(hwnd_, saveAndValidate ? Direction::FromControls : Direction::ToControls);
  DoDataExchange(dx);
  const auto& failure = dx.failure();
  if (!failure) return true;
  AppMessageBox(hwnd_, failure->message, MB_OK | MB_ICONEXCLAMATION);
  const HWND control = GetDlgItem(failure->controlId);
  if (control) {
    ::SetFocus(control);
    wchar_t className[16] = {};
    ::GetClassNameW(control, className, 16);
    if (::lstrcmpiW(className, L"Edit") == 0) ::SendMessageW(control, EM_SETSEL, 0, -1);
  }
  return false;
}

BOOL Dialog::OnInitDialog() {
  UpdateData(false);
  return TRUE;
}

void Dialog::DoDataExchange(DataExchange&) {}

bool Dialog::PreTranslateMessage(MSG& msg) {
  if (!hwnd_ || msg.message < WM_KEYFIRST || msg.message > WM_KEYLAST) return false;
  if (msg.hwnd != hwnd_ && !::IsChild(hwnd_, msg.hwnd)) return false;
  if (msg.message == WM_KEYDOWN && msg.wParam == VK_F1 && !ModifierHeld()) {
    OnHelp();
    return true;
  }
  return ::IsDialogMessageW(hwnd_, &msg) != FALSE;
}

MessageResult Dialog::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      if (OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam))) return 0;
      return kDefault;
  }
  return kDefault;
}

bool Dialog::OnCommand(int id, int, HWND) {
  switch (id) {
    case IDOK:
      OnOK();
      return true;
    case IDCANCEL:
      OnCancel();
      return true;
    case ID_HELP:
      OnHelp();
      return true;
  }
  return false;
}

void Dialog::OnOK() {
  if (UpdateData(true)) EndDialog(IDOK);
}

void Dialog::OnCancel() { EndDialog(IDCANCEL); }

void Dialog::OnHelp() { AppMessageBox(hwnd_, kHelpFailedMessage, MB_OK | MB_ICONEXCLAMATION); }

void Dialog::OnUnhandledException() { ReportError(hwnd_, E_UNEXPECTED); }

INT_PTR CALLBACK Dialog::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  Dialog* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<Dialog*>(lParam);
    ::SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    ::SetPropW(hwnd, kDialogProperty, self);
    self->hwnd_ = hwnd;
  } else {
    self = reinterpret_cast<Dialog*>(::GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  // Messages before WM_INITDIALOG (WM_SETFONT) find no object yet.
  if (!self) return FALSE;
  INT_PTR handled = FALSE;
  try {
    handled = self->Dispatch(message, wParam, lParam);
  } catch (...) {
    try {
      self->OnUnhandledException();
    } catch (...) {
    }
    handled = FALSE;
  }
  if (message == WM_NCDESTROY) {
    ::RemovePropW(hwnd, kDialogProperty);
    ::SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
  }
  return handled;
}

INT_PTR Dialog::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_INITDIALOG) return HandleInitDialog();
  const MessageResult result = OnMessage(message, wParam, lParam);
  if (!result) return FALSE;
  if (ReturnsResultDirectly(message)) return static_cast<INT_PTR>(*result);
  ::SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, *result);
  return TRUE;
}

INT_PTR Dialog::HandleInitDialog() {
  const BOOL focusDefault = OnInitDialog();
  if (!ended_) CenterOverOwner(hwnd_, ::GetWindow(hwnd_, GW_OWNER));
  return focusDefault;
}

}  // namespace dialogkit
