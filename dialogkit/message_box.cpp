#include "dialogkit/message_box.h"

#include "dialogkit/app.h"

namespace dialogkit {

const wchar_t* const kHelpFailedMessage = L"ヘルプの起動に失敗しました。";
const wchar_t* const kInternalErrorMessage = L"アプリケーションの内部エラーです。";

std::wstring AppName() { return FileTitle(ModulePath()); }

int AppMessageBox(HWND owner, const std::wstring& text, UINT type) {
  return ::MessageBoxW(owner, text.c_str(), AppName().c_str(), type);
}

std::wstring ErrorText(HRESULT code) {
  wchar_t* buffer = nullptr;
  const DWORD length = ::FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, static_cast<DWORD>(code), 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
  std::wstring text;
  if (length > 0 && buffer) text.assign(buffer, length);
  if (buffer) ::LocalFree(buffer);
  while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
    text.pop_back();
  }
  return text.empty() ? std::wstring(kInternalErrorMessage) : text;
}

void ReportError(HWND owner, HRESULT code) {
  AppMessageBox(owner, ErrorText(code), MB_OK | MB_ICONSTOP);
}

int InfoMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption) {
  return ::MessageBoxW(owner, text.c_str(), caption.c_str(), MB_OK | MB_ICONINFORMATION);
}

std::wstring LoadResourceString(UINT id) {
  // With a zero length LoadStringW hands out a read-only pointer to the
  // resource text itself, which is not terminated.
  const wchar_t* text = nullptr;
  const int length =
      ::LoadStringW(::GetModuleHandleW(nullptr), id, reinterpret_cast<wchar_t*>(&text), 0);
  if (length <= 0 || !text) return {};
  return std::wstring(text, static_cast<size_t>(length));
}

}  // namespace dialogkit
