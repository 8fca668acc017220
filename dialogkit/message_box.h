// Message boxes and resource strings.
//
// Two kinds of boxes exist. The framework's own (validation, a failed help
// request, an error the framework reports) carry the application name, the
// executable's file name without extension, as caption: AppMessageBox and
// ReportError. The program's own boxes choose their caption themselves and
// call MessageBoxW or InfoMessageBox.
#pragma once

#include <windows.h>

#include <string>

namespace dialogkit {

// "ヘルプの起動に失敗しました。"
extern const wchar_t* const kHelpFailedMessage;
// "アプリケーションの内部エラーです。": the report when the system has no text.
extern const wchar_t* const kInternalErrorMessage;

// The application name: the running executable's file name without extension.
std::wstring AppName();

// A framework message box owned by `owner`, captioned with AppName().
int AppMessageBox(HWND owner, const std::wstring& text, UINT type = MB_OK | MB_ICONEXCLAMATION);

// The system's text for an error code in the default language, without the
// trailing line break; kInternalErrorMessage when the system has none.
std::wstring ErrorText(HRESULT code);

// The framework's report of a failed operation: ErrorText(code), stop icon,
// AppName() as caption.
void ReportError(HWND owner, HRESULT code);

// A box with one OK button and the information icon.
int InfoMessageBox(HWND owner, const std::wstring& text, const std::wstring& caption);

// String resource `id` of the executable; empty when it is missing.
std::wstring LoadResourceString(UINT id);

}  // namespace dialogkit
