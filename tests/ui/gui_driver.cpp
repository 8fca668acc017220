#include "tests/ui/gui_driver.h"

#include <atomic>
#include <thread>

namespace uitest {
namespace {

constexpr int kMessageBoxTextId = 0xFFFF;
constexpr DWORD kPollMs = 10;

std::wstring ClassOf(HWND hwnd) {
  wchar_t name[64] = {};
  ::GetClassNameW(hwnd, name, 64);
  return name;
}

bool IsDialogClass(HWND hwnd) { return ClassOf(hwnd) == L"#32770"; }

bool IsMessageBox(HWND hwnd) {
  return IsDialogClass(hwnd) && ::GetDlgItem(hwnd, kMessageBoxTextId) != nullptr;
}

struct Collect {
  WindowScope scope;
  std::vector<HWND> windows;
};

BOOL CALLBACK CollectWindow(HWND hwnd, LPARAM lParam) {
  auto* collect = reinterpret_cast<Collect*>(lParam);
  if (collect->scope.processId != 0) {
    DWORD process = 0;
    ::GetWindowThreadProcessId(hwnd, &process);
    if (process != collect->scope.processId) return TRUE;
  }
  collect->windows.push_back(hwnd);
  return TRUE;
}

std::vector<HWND> TopLevelWindows(WindowScope scope) {
  Collect collect{scope, {}};
  if (scope.threadId != 0) {
    ::EnumThreadWindows(scope.threadId, &CollectWindow, reinterpret_cast<LPARAM>(&collect));
  } else {
    ::EnumWindows(&CollectWindow, reinterpret_cast<LPARAM>(&collect));
  }
  return collect.windows;
}

// The standard icons a message box can show, told apart by the shared icon
// handles the system hands out for them.
UINT IconKind(HWND box) {
  struct Known {
    LPCWSTR resource;
    UINT kind;
  };
  static const Known kKnown[] = {{IDI_INFORMATION, MB_ICONINFORMATION},
                                 {IDI_EXCLAMATION, MB_ICONEXCLAMATION},
                                 {IDI_HAND, MB_ICONSTOP}};
  std::vector<HICON> shown;
  for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
    if (ClassOf(child) != L"Static") continue;
    const auto icon = reinterpret_cast<HICON>(::SendMessageW(child, STM_GETICON, 0, 0));
    if (icon) shown.push_back(icon);
  }
  for (const Known& known : kKnown) {
    const HICON icon = ::LoadIconW(nullptr, known.resource);
    for (HICON s : shown) {
      if (s == icon) return known.kind;
    }
  }
  return 0;
}

}  // namespace

bool WaitUntil(const std::function<bool()>& condition) {
  const ULONGLONG end = ::GetTickCount64() + kWaitLimitMs;
  while (!condition()) {
    if (::GetTickCount64() > end) return false;
    ::Sleep(kPollMs);
  }
  return true;
}

std::wstring TextOf(HWND hwnd) {
  const auto length = ::SendMessageW(hwnd, WM_GETTEXTLENGTH, 0, 0);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const auto copied = ::SendMessageW(hwnd, WM_GETTEXT, static_cast<WPARAM>(text.size()),
                                     reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<size_t>(copied));
  return text;
}

std::wstring ItemText(HWND dialog, int id) { return TextOf(::GetDlgItem(dialog, id)); }

void SetItemText(HWND dialog, int id, const std::wstring& text) {
  ::SendMessageW(::GetDlgItem(dialog, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()));
}

void Click(HWND dialog, int id) { ::PostMessageW(::GetDlgItem(dialog, id), BM_CLICK, 0, 0); }

bool IsChecked(HWND dialog, int id) {
  return ::SendMessageW(::GetDlgItem(dialog, id), BM_GETCHECK, 0, 0) == BST_CHECKED;
}

bool IsEnabled(HWND dialog, int id) { return ::IsWindowEnabled(::GetDlgItem(dialog, id)) != 0; }

std::pair<DWORD, DWORD> Selection(HWND dialog, int id) {
  DWORD start = 0;
  DWORD end = 0;
  ::SendMessageW(::GetDlgItem(dialog, id), EM_GETSEL, reinterpret_cast<WPARAM>(&start),
                 reinterpret_cast<LPARAM>(&end));
  return {start, end};
}

MessageBoxInfo ReadMessageBox(HWND box) {
  MessageBoxInfo info;
  info.hwnd = box;
  info.caption = TextOf(box);
  info.text = TextOf(::GetDlgItem(box, kMessageBoxTextId));
  info.icon = IconKind(box);
  return info;
}

std::vector<HWND> Driver::Dialogs() const {
  std::vector<HWND> dialogs;
  for (HWND hwnd : TopLevelWindows(scope_)) {
    if (IsDialogClass(hwnd) && !IsMessageBox(hwnd) && ::IsWindowVisible(hwnd)) {
      dialogs.push_back(hwnd);
    }
  }
  return dialogs;
}

std::vector<HWND> Driver::MessageBoxes() const {
  std::vector<HWND> boxes;
  for (HWND hwnd : TopLevelWindows(scope_)) {
    if (IsMessageBox(hwnd) && ::IsWindowVisible(hwnd)) boxes.push_back(hwnd);
  }
  return boxes;
}

HWND Driver::WaitForDialog(const std::wstring& caption) const {
  HWND found = nullptr;
  WaitUntil([&] {
    for (HWND hwnd : Dialogs()) {
      if (TextOf(hwnd) == caption) {
        found = hwnd;
        return true;
      }
    }
    return false;
  });
  return found;
}

std::optional<MessageBoxInfo> Driver::WaitForMessageBox() const {
  HWND box = nullptr;
  const bool appeared = WaitUntil([&] {
    const auto boxes = MessageBoxes();
    if (boxes.empty()) return false;
    box = boxes.front();
    return true;
  });
  if (!appeared) return std::nullopt;
  return ReadMessageBox(box);
}

bool Driver::CloseMessageBox(HWND box) const {
  ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  return WaitUntil([&] { return !::IsWindow(box); });
}

std::optional<MessageBoxInfo> Driver::ExpectMessageBox() const {
  auto info = WaitForMessageBox();
  if (info) CloseMessageBox(info->hwnd);
  return info;
}

HWND Driver::FocusOf(HWND anyWindowOfThatThread) const {
  GUITHREADINFO info{};
  info.cbSize = sizeof(info);
  const DWORD thread = ::GetWindowThreadProcessId(anyWindowOfThatThread, nullptr);
  if (!::GetGUIThreadInfo(thread, &info)) return nullptr;
  return info.hwndFocus;
}

void Driver::CloseEverything() const {
  for (HWND box : MessageBoxes()) ::PostMessageW(box, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
  for (HWND dialog : Dialogs()) {
    ::PostMessageW(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
  }
}

INT_PTR RunModal(dialogkit::Dialog& dialog, const std::function<void(const Driver&)>& script) {
  // The whole process: message boxes of a worker thread count too, and are
  // closed with the rest after a failed script.
  const Driver driver(WindowScope{::GetCurrentProcessId(), 0});
  std::atomic<bool> done{false};
  std::thread scriptThread([&] {
    script(driver);
    // Whatever the script left open goes now, so DoModal returns.
    while (!done.load()) {
      driver.CloseEverything();
      ::Sleep(kPollMs * 5);
    }
  });
  const INT_PTR result = dialog.DoModal();
  done.store(true);
  scriptThread.join();
  return result;
}

}  // namespace uitest
