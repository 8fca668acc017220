#include "ui/marvolen_dlg.h"

#include <cwchar>

#include "dialogkit/data_exchange.h"
#include "dialogkit/handles.h"
#include "dialogkit/message_box.h"
#include "settings/settings_file.h"
#include "ui/about_dialog.h"
#include "ui/app_title.h"
#include "ui/progress_dialog.h"
#include "ui/res/resource.h"

const int kLockedControlIds[] = {
    IDC_FILE_NAME,
    IDC_SAMPLE_RATE,
    IDC_STATION_NHK,
    IDC_STATION_NIPPON,
    IDC_BIT_8,
    IDC_BIT_16,
    IDC_BIT_24,
    IDC_MONO,
    IDC_STEREO,
    IDC_NOTICE_FREQ1,
    IDC_NOTICE_FREQ2,
    IDC_MAIN_FREQ,
    IDC_GENERATE,
    IDOK,
    -1,
};

std::wstring MissingControlMessage(int id) {
  return L"コントロールID[" + std::to_wstring(id) + L"]は、ダイアログ画面内に存在しません。";
}

std::wstring NoChoiceMessage(const std::wstring& groupName) {
  return L"「" + groupName + L"」が選択されていません。選択してから時報音声を生成してください。";
}

namespace {

// Frequencies shown before the settings load replaces them; never seen.
constexpr int32_t kConstructionFrequency = 50;

}  // namespace

CMarvolenDlg::CMarvolenDlg(marvolen::ProfileStore& store)
    : Dialog(IDD_MAIN),
      store_(store),
      icon_(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME))) {
  settings_.SaveFileName.clear();
  settings_.BitSize = 0;
  settings_.Monaural = 0;
  settings_.SelectHousoukyoku = 0;
  settings_.NoticeSoundFreq1 = kConstructionFrequency;
  settings_.NoticeSoundFreq2 = kConstructionFrequency;
  settings_.MainSignalSoundFreq = kConstructionFrequency;
}

void CMarvolenDlg::DoDataExchange(dialogkit::DataExchange& dx) {
  dx.Control(IDC_FILE_NAME, fileNameEdit_);
  dx.Text(IDC_FILE_NAME, settings_.SaveFileName);
  dx.Radio(IDC_BIT_8, settings_.BitSize);
  dx.Radio(IDC_MONO, settings_.Monaural);
  dx.Radio(IDC_STATION_NHK, settings_.SelectHousoukyoku);
  dx.Int(IDC_NOTICE_FREQ1, settings_.NoticeSoundFreq1);
  dx.MinMaxInt(IDC_NOTICE_FREQ1, settings_.NoticeSoundFreq1, marvolen::kMinToneFrequency,
               marvolen::kMaxToneFrequency);
  dx.Int(IDC_NOTICE_FREQ2, settings_.NoticeSoundFreq2);
  dx.MinMaxInt(IDC_NOTICE_FREQ2, settings_.NoticeSoundFreq2, marvolen::kMinToneFrequency,
               marvolen::kMaxToneFrequency);
  dx.Int(IDC_MAIN_FREQ, settings_.MainSignalSoundFreq);
  dx.MinMaxInt(IDC_MAIN_FREQ, settings_.MainSignalSoundFreq, marvolen::kMinToneFrequency,
               marvolen::kMaxToneFrequency);
}

bool CMarvolenDlg::PreTranslateMessage(MSG& msg) {
  // Enter and Esc go to the focused control like any key: they neither press
  // the default button nor cancel the dialog.
  if (msg.message == WM_KEYDOWN && (msg.wParam == VK_RETURN || msg.wParam == VK_ESCAPE)) {
    return false;
  }
  return Dialog::PreTranslateMessage(msg);
}

BOOL CMarvolenDlg::OnInitDialog() {
  Dialog::OnInitDialog();

  const HMENU systemMenu = ::GetSystemMenu(hwnd(), FALSE);
  const std::wstring aboutText = dialogkit::LoadResourceString(IDS_ABOUTBOX);
  if (systemMenu && !aboutText.empty()) {
    ::AppendMenuW(systemMenu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(systemMenu, MF_STRING, IDM_ABOUTBOX, aboutText.c_str());
  }

  ::SendMessageW(hwnd(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon_));
  ::SendMessageW(hwnd(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon_));

  rateList_.Attach(GetDlgItem(IDC_SAMPLE_RATE));
  for (const marvolen::SampleRateEntry& entry : marvolen::kSampleRateList) {
    rateList_.AddString(entry.text);
  }

  const int32_t rateIndex = marvolen::LoadSettings(store_, settings_);
  rateList_.SetCurSel(rateIndex);
  UpdateData(false);
  return TRUE;
}

dialogkit::MessageResult CMarvolenDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_SYSCOMMAND:
      return OnSysCommand(static_cast<UINT>(wParam), lParam);
    case WM_PAINT:
      return OnPaint();
    case WM_QUERYDRAGICON:
      return reinterpret_cast<LRESULT>(OnQueryDragIcon());
    case WM_APP_ENABLE_CONTROLS:
      return OnEnableControls(wParam, lParam);
    case WM_APP_DISABLE_CONTROLS:
      return OnDisableControls(wParam, lParam);
  }
  return Dialog::OnMessage(message, wParam, lParam);
}

bool CMarvolenDlg::OnCommand(int id, int code, HWND control) {
  // Buttons without BS_NOTIFY send only BN_CLICKED.
  switch (id) {
    case IDC_GENERATE:
      OnGenerate();
      return true;
    case IDCANCEL:
      OnExitWithoutSaving();
      return true;
    case IDOK:
      OnSaveAndExit();
      return true;
  }
  return Dialog::OnCommand(id, code, control);
}

dialogkit::MessageResult CMarvolenDlg::OnSysCommand(UINT id, LPARAM) {
  if ((id & 0xFFF0) == IDM_ABOUTBOX) {
    ShowAboutBox();
    return 0;
  }
  return dialogkit::kDefault;  // minimise, move, close and the rest
}

void CMarvolenDlg::ShowAboutBox() {
  CAboutDlg dlg;
  dlg.DoModal();
}

dialogkit::MessageResult CMarvolenDlg::OnPaint() {
  if (!::IsIconic(hwnd())) return dialogkit::kDefault;
  // Minimised without a window manager's taskbar: draw the icon centred.
  dialogkit::PaintScope paint(hwnd());
  ::SendMessageW(hwnd(), WM_ICONERASEBKGND, reinterpret_cast<WPARAM>(paint.dc()), 0);
  const int iconWidth = ::GetSystemMetrics(SM_CXICON);
  const int iconHeight = ::GetSystemMetrics(SM_CYICON);
  RECT client{};
  ::GetClientRect(hwnd(), &client);
  const int x = (client.right - client.left - iconWidth + 1) / 2;
  const int y = (client.bottom - client.top - iconHeight + 1) / 2;
  ::DrawIcon(paint.dc(), x, y, icon_);
  return 0;
}

HICON CMarvolenDlg::OnQueryDragIcon() { return icon_; }

void CMarvolenDlg::OnGenerate() {
  // The rate comes from the selected entry, before validation, and stays set
  // when validation fails. No entry selected (a stored index outside the
  // list) is an invalid argument, reported the framework's way.
  const std::optional<std::wstring> rateText = rateList_.GetItemText(rateList_.GetCurSel());
  if (!rateText) {
    dialogkit::ReportError(hwnd(), E_INVALIDARG);
    return;
  }
  settings_.SampleRate = static_cast<int32_t>(std::wcstol(rateText->c_str(), nullptr, 10));

  if (!UpdateData(true)) return;
  if (!CheckChoices()) return;

  ::SendMessageW(hwnd(), WM_APP_DISABLE_CONTROLS, 0, 0);
  RunGeneration();
  ::SendMessageW(hwnd(), WM_APP_ENABLE_CONTROLS, 0, 0);
}

void CMarvolenDlg::RunGeneration() {
  // The job runs on the progress dialog's worker; DoModal returns after it.
  CDlgProgress dlg(this);
  dlg.DoModal();
}

bool CMarvolenDlg::CheckChoices() {
  struct Group {
    int firstId;
    int32_t value;
    const wchar_t* name;
  };
  const Group groups[] = {
      {IDC_BIT_8, settings_.BitSize, L"データのサンプリングビット"},
      {IDC_MONO, settings_.Monaural, L"チャンネル選択"},
      {IDC_STATION_NHK, settings_.SelectHousoukyoku, L"放送局の選択"},
  };
  for (const Group& group : groups) {
    // Reading the controls gives 0..n-1 or -1, so -1 is the only value to
    // catch here; the rendering job refuses anything else that slips past.
    if (group.value >= 0) continue;
    dialogkit::AppMessageBox(hwnd(), NoChoiceMessage(group.name), MB_OK | MB_ICONEXCLAMATION);
    ::SetFocus(GetDlgItem(group.firstId));
    return false;
  }
  return true;
}

void CMarvolenDlg::OnExitWithoutSaving() { OnCancel(); }

void CMarvolenDlg::OnSaveAndExit() {
  if (!UpdateData(true)) return;
  marvolen::SaveSettings(store_, rateList_.GetCurSel(), settings_);
  OnOK();
}

void CMarvolenDlg::EnableLockedControls(bool enable) {
  for (const int* id = kLockedControlIds; *id != -1; ++id) {
    const HWND control = GetDlgItem(*id);
    if (control) {
      ::EnableWindow(control, enable ? TRUE : FALSE);
    } else {
      ShowAppMessage(hwnd(), MissingControlMessage(*id));
    }
  }
}

LRESULT CMarvolenDlg::OnDisableControls(WPARAM, LPARAM) {
  EnableLockedControls(false);
  ::EnableMenuItem(::GetSystemMenu(hwnd(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_GRAYED);
  // The class style is shared by every dialog window of the process: the
  // progress dialog and the job's message boxes lose their close box too.
  const ULONG_PTR style = ::GetClassLongPtrW(hwnd(), GCL_STYLE);
  ::SetClassLongPtrW(hwnd(), GCL_STYLE, static_cast<LONG_PTR>(style | CS_NOCLOSE));
  return 0;
}

LRESULT CMarvolenDlg::OnEnableControls(WPARAM, LPARAM) {
  EnableLockedControls(true);
  ::EnableMenuItem(::GetSystemMenu(hwnd(), FALSE), SC_CLOSE, MF_BYCOMMAND | MF_ENABLED);
  const ULONG_PTR style = ::GetClassLongPtrW(hwnd(), GCL_STYLE);
  ::SetClassLongPtrW(hwnd(), GCL_STYLE, static_cast<LONG_PTR>(style & ~ULONG_PTR{CS_NOCLOSE}));
  // The caption's close box is drawn from the class style: repaint it.
  ::RedrawWindow(hwnd(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE);
  return 0;
}
