#include "dialogkit/control.h"

#include <vector>

namespace dialogkit {

std::wstring WindowText(HWND hwnd) {
  const int length = ::GetWindowTextLengthW(hwnd);
  if (length <= 0) return {};
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
  const int copied = ::GetWindowTextW(hwnd, buffer.data(), length + 1);
  return std::wstring(buffer.data(), static_cast<size_t>(copied > 0 ? copied : 0));
}

std::wstring Control::Text() const { return WindowText(hwnd_); }

int ComboBox::AddString(const std::wstring& text) const {
  return static_cast<int>(Send(CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str())));
}

void ComboBox::SetCurSel(int index) const { Send(CB_SETCURSEL, static_cast<WPARAM>(index)); }

int ComboBox::GetCurSel() const { return static_cast<int>(Send(CB_GETCURSEL)); }

std::optional<std::wstring> ComboBox::GetItemText(int index) const {
  const auto length = static_cast<int>(Send(CB_GETLBTEXTLEN, static_cast<WPARAM>(index)));
  if (index < 0 || length == CB_ERR) return std::nullopt;
  std::vector<wchar_t> buffer(static_cast<size_t>(length) + 1);
  const auto copied = static_cast<int>(
      Send(CB_GETLBTEXT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(buffer.data())));
  if (copied == CB_ERR) return std::nullopt;
  return std::wstring(buffer.data(), static_cast<size_t>(copied));
}

}  // namespace dialogkit
