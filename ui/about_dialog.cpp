#include "ui/about_dialog.h"

#include <cwchar>
#include <vector>

#include "dialogkit/app.h"
#include "dialogkit/control.h"
#include "dialogkit/handles.h"
#include "dialogkit/message_box.h"
#include "ui/res/resource.h"

std::optional<FileVersion> ReadFileVersion(const std::wstring& path) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
  if (size == 0) return std::nullopt;
  std::vector<BYTE> block(size, 0);
  if (!::GetFileVersionInfoW(path.c_str(), 0, size, block.data())) return std::nullopt;
  void* fixed = nullptr;
  UINT length = 0;
  if (!::VerQueryValueW(block.data(), L"\\", &fixed, &length) || !fixed ||
      length < sizeof(VS_FIXEDFILEINFO)) {
    return std::nullopt;
  }
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
  return FileVersion{HIWORD(info->dwFileVersionMS), LOWORD(info->dwFileVersionMS),
                     HIWORD(info->dwFileVersionLS), LOWORD(info->dwFileVersionLS)};
}

std::wstring FormatVersionLine(const std::wstring& prefix, const FileVersion& version) {
  // Four 16-bit numbers fill at most 5 + 1 + 5 + 5 + 2 + 5 + 1 + 5 + 1 + 5 + 1
  // + 5 + 1 = 42 characters.
  wchar_t text[64] = {};
  std::swprintf(text, 64, L"%d.%d%d (%d.%d.%d.%d)", version.major, version.minor, version.build,
                version.major, version.minor, version.build, version.revision);
  return prefix + text;
}

namespace {

// The extent of `text` with `font` selected into `dc`; the font selected
// before is back when this returns.
std::optional<SIZE> TextExtent(HDC dc, HFONT font, const std::wstring& text) {
  // Without a font of its own a control draws with the system font, which a
  // fresh device context already holds.
  std::optional<dialogkit::SelectScope> selected;
  if (font) selected.emplace(dc, font);
  SIZE extent{};
  if (!::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent)) {
    return std::nullopt;
  }
  return extent;
}

}  // namespace

void FitStaticToText(HWND dialog, int id) {
  const HWND control = ::GetDlgItem(dialog, id);
  if (!control) return;
  const std::wstring text = dialogkit::WindowText(control);
  const dialogkit::WindowDC dc(control);
  if (!dc.dc()) return;
  const auto font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
  const std::optional<SIZE> extent = TextExtent(dc.dc(), font, text);
  if (!extent) return;
  ::SetWindowPos(control, nullptr, 0, 0, extent->cx, extent->cy,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

CAboutDlg::CAboutDlg() : CAboutDlg([] { return ReadFileVersion(dialogkit::ModulePath()); }) {}

CAboutDlg::CAboutDlg(VersionSource versionSource)
    : Dialog(IDD_ABOUTBOX), versionSource_(std::move(versionSource)) {}

BOOL CAboutDlg::OnInitDialog() {
  Dialog::OnInitDialog();
  // A missing or unreadable version resource is not reported: the template's
  // placeholder stays, at its template size.
  const std::optional<FileVersion> version = versionSource_ ? versionSource_() : std::nullopt;
  if (!version) return TRUE;
  const std::wstring line =
      FormatVersionLine(dialogkit::LoadResourceString(IDS_VERSION_PREFIX), *version);
  ::SetDlgItemTextW(hwnd(), IDC_VERSION_TEXT, line.c_str());
  for (const int id : {IDC_VERSION_TEXT, IDC_COPYRIGHT_TEXT, IDC_HOLDER_TEXT}) {
    FitStaticToText(hwnd(), id);
  }
  return TRUE;
}
