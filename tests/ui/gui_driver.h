// Drives dialogs the way a user would, through the window system only, from a
// thread other than the one that runs them. Used in-process (a script thread
// beside a modal loop) and against a separate Marvolen.exe.
#pragma once

#include <windows.h>

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialogkit/dialog.h"

namespace uitest {

// How long any wait for a window or a state may take before the test fails.
// A bound, not a timing: the waits return as soon as the state is there.
inline constexpr DWORD kWaitLimitMs = 20000;

// A message box as the user sees it.
struct MessageBoxInfo {
  HWND hwnd = nullptr;
  std::wstring caption;
  std::wstring text;
  // The icon shown, as one of MB_ICONINFORMATION, MB_ICONEXCLAMATION,
  // MB_ICONSTOP, or 0 when it cannot be told.
  UINT icon = 0;
};

// Polls `condition` until it holds or kWaitLimitMs pass; true when it held.
bool WaitUntil(const std::function<bool()>& condition);

// Top-level windows of a process (processId) or of one thread (threadId).
struct WindowScope {
  DWORD processId = 0;
  DWORD threadId = 0;
};

class Driver {
 public:
  explicit Driver(WindowScope scope) : scope_(scope) {}

  // Visible top-level dialogs (class #32770) of the scope that are not
  // message boxes.
  std::vector<HWND> Dialogs() const;
  // Message boxes of the scope: #32770 windows holding the static 0xFFFF.
  std::vector<HWND> MessageBoxes() const;

  // Waits for a visible dialog with this caption.
  HWND WaitForDialog(const std::wstring& caption) const;
  // Waits for a message box and reads it.
  std::optional<MessageBoxInfo> WaitForMessageBox() const;
  // Presses OK on a box and waits until it is gone.
  bool CloseMessageBox(HWND box) const;
  // Waits for a box, reads it, closes it.
  std::optional<MessageBoxInfo> ExpectMessageBox() const;
  // True when no message box is open.
  bool NoMessageBox() const { return MessageBoxes().empty(); }

  // The window with the keyboard focus on the scope's UI thread.
  HWND FocusOf(HWND anyWindowOfThatThread) const;

  // Ends everything that is still open: closes message boxes and posts
  // IDCANCEL to the dialogs. Called after a failed script so nothing hangs.
  void CloseEverything() const;

 private:
  WindowScope scope_;
};

// Reads a message box's caption, text and icon.
MessageBoxInfo ReadMessageBox(HWND box);

// Text of a window, also across processes (WM_GETTEXT).
std::wstring TextOf(HWND hwnd);
// Text of a dialog's child.
std::wstring ItemText(HWND dialog, int id);
void SetItemText(HWND dialog, int id, const std::wstring& text);
// BM_CLICK, posted: a click that opens a modal box must not block the driver.
void Click(HWND dialog, int id);
bool IsChecked(HWND dialog, int id);
bool IsEnabled(HWND dialog, int id);
// The selection of an edit as [start, end).
std::pair<DWORD, DWORD> Selection(HWND dialog, int id);

// Runs dialog.DoModal() on this thread while `script` runs on another thread
// with a Driver for this process's windows. Whatever the script does, once it
// returns everything still open is closed, so a failed script cannot hang the
// test. Returns DoModal's result.
INT_PTR RunModal(dialogkit::Dialog& dialog, const std::function<void(const Driver&)>& script);

}  // namespace uitest
