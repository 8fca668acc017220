// Thin, non-owning views of a dialog's child controls. The dialog manager owns
// the windows and destroys them with the dialog, so these never destroy
// anything; they are attached once by DataExchange::Control or by hand.
#pragma once

#include <windows.h>

#include <optional>
#include <string>

namespace dialogkit {

class Control {
 public:
  Control() = default;
  explicit Control(HWND hwnd) : hwnd_(hwnd) {}

  void Attach(HWND hwnd) { hwnd_ = hwnd; }
  HWND hwnd() const { return hwnd_; }
  explicit operator bool() const { return hwnd_ != nullptr; }

  LRESULT Send(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const {
    return ::SendMessageW(hwnd_, message, wParam, lParam);
  }
  std::wstring Text() const;
  void SetText(const std::wstring& text) const { ::SetWindowTextW(hwnd_, text.c_str()); }
  void Enable(bool enable) const { ::EnableWindow(hwnd_, enable ? TRUE : FALSE); }

 private:
  HWND hwnd_ = nullptr;
};

// The whole text of any window.
std::wstring WindowText(HWND hwnd);

// A drop-down list (combo box), as far as the dialogs use it.
class ComboBox : public Control {
 public:
  using Control::Control;

  // Appends an entry; its index, or CB_ERR.
  int AddString(const std::wstring& text) const;
  // Selects entry `index`; an index outside the list selects nothing.
  void SetCurSel(int index) const;
  // The selected index, -1 when nothing is selected.
  int GetCurSel() const;
  // The text of entry `index`; nothing when the index is outside the list.
  std::optional<std::wstring> GetItemText(int index) const;
};

}  // namespace dialogkit
