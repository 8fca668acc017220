#include "dialogkit/data_exchange.h"

#include <limits>

namespace dialogkit {
namespace {

// The classic framework reads integer edits through a 64-character buffer.
constexpr int kIntTextBuffer = 64;

bool IsScanSpace(wchar_t c) {
  return c == L' ' || c == L'\t' || c == L'\n' || c == L'\v' || c == L'\f' || c == L'\r';
}

bool IsRadioButton(HWND hwnd) {
  return (::SendMessageW(hwnd, WM_GETDLGCODE, 0, 0) & DLGC_RADIOBUTTON) != 0;
}

}  // namespace

const wchar_t* const kNotAnIntegerMessage = L"整数を入力してください。";

std::wstring OutOfRangeMessage(int minimum, int maximum) {
  return std::to_wstring(minimum) + L" から " + std::to_wstring(maximum) +
         L" までの整数を入力してください。";
}

std::optional<int32_t> ScanInt(std::wstring_view text) {
  size_t i = 0;
  while (i < text.size() && IsScanSpace(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'+' || text[i] == L'-')) {
    negative = text[i] == L'-';
    ++i;
  }
  if (i >= text.size() || text[i] < L'0' || text[i] > L'9') return std::nullopt;
  // Accumulated as a negative number so that INT32_MIN fits.
  constexpr int64_t kLowest = std::numeric_limits<int32_t>::min();
  int64_t value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    value = value * 10 - (text[i] - L'0');
    if (value < kLowest) value = kLowest - 1;  // saturated; stays out of range
  }
  if (negative) return static_cast<int32_t>(value < kLowest ? kLowest : value);
  if (-value > std::numeric_limits<int32_t>::max()) return std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(-value);
}

DataExchange::DataExchange(HWND dialog, Direction direction)
    : dialog_(dialog), direction_(direction) {}

HWND DataExchange::Item(int id) const { return ::GetDlgItem(dialog_, id); }

void DataExchange::Fail(int id, std::wstring message) {
  failure_ = ExchangeFailure{id, std::move(message)};
}

void DataExchange::Control(int id, dialogkit::Control& control) {
  if (failure_) return;
  if (!control) control.Attach(Item(id));
}

void DataExchange::Text(int id, std::wstring& value) {
  if (failure_) return;
  if (saving()) {
    value = WindowText(Item(id));
  } else {
    ::SetDlgItemTextW(dialog_, id, value.c_str());
  }
}

void DataExchange::Int(int id, int32_t& value) {
  if (failure_) return;
  if (!saving()) {
    ::SetDlgItemTextW(dialog_, id, std::to_wstring(value).c_str());
    return;
  }
  wchar_t buffer[kIntTextBuffer] = {};
  ::GetDlgItemTextW(dialog_, id, buffer, kIntTextBuffer);
  const std::optional<int32_t> scanned = ScanInt(buffer);
  if (!scanned) {
    Fail(id, kNotAnIntegerMessage);
    return;
  }
  value = *scanned;
}

void DataExchange::MinMaxInt(int id, int32_t value, int32_t minimum, int32_t maximum) {
  if (failure_ || !saving()) return;
  if (value < minimum || value > maximum) Fail(id, OutOfRangeMessage(minimum, maximum));
}

void DataExchange::Radio(int firstId, int32_t& value) {
  if (failure_) return;
  const HWND first = Item(firstId);
  if (!first) return;
  int32_t index = 0;
  int32_t checked = -1;
  for (HWND button = first; button; button = ::GetWindow(button, GW_HWNDNEXT)) {
    if (button != first && (::GetWindowLongPtrW(button, GWL_STYLE) & WS_GROUP)) break;
    if (!IsRadioButton(button)) continue;
    if (saving()) {
      if (checked == -1 && ::SendMessageW(button, BM_GETCHECK, 0, 0) == BST_CHECKED)
        checked = index;
    } else {
      ::SendMessageW(button, BM_SETCHECK, index == value ? BST_CHECKED : BST_UNCHECKED, 0);
    }
    ++index;
  }
  if (saving()) value = checked;
}

}  // namespace dialogkit
