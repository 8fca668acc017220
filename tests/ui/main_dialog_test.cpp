// The main dialog in-process: its template, start-up from the settings, data
// exchange and validation through its buttons, the lock during a generation,
// and the settings written on save and exit. Each scenario runs the dialog
// modally and drives it from a second thread.
#include <gtest/gtest.h>

#include <array>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "dialogkit/app.h"
#include "dialogkit/message_box.h"
#include "tests/ui/dialog_template.h"
#include "tests/ui/gui_driver.h"
#include "tests/ui/main_dialog_support.h"
#include "ui/app_title.h"
#include "ui/res/resource.h"
#include "wav/render_time_signal.h"

namespace {

using uitest::Driver;
using uitest::MemoryStore;
using uitest::WatchedMainDialog;

constexpr wchar_t kExeName[] = L"ui_main_dialog_tests";

HWND WaitForMain(const Driver& driver) { return driver.WaitForDialog(L"Marvolen"); }

int ComboSelection(HWND dialog) {
  return static_cast<int>(::SendDlgItemMessageW(dialog, IDC_SAMPLE_RATE, CB_GETCURSEL, 0, 0));
}

void SelectRate(HWND dialog, int index) {
  ::SendDlgItemMessageW(dialog, IDC_SAMPLE_RATE, CB_SETCURSEL, static_cast<WPARAM>(index), 0);
}

void Check(HWND dialog, int id) {
  // BM_CLICK on an automatic radio button checks it and unchecks its group.
  ::SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0);
}

// Lets every message posted to `edit` so far, and whatever their handling
// posts in turn, be processed: each marker character typed after them shows
// the queue has moved past what came before it. False if one never arrives.
bool DrainQueue(HWND dialog, int editId) {
  const HWND edit = ::GetDlgItem(dialog, editId);
  for (wchar_t marker : {L'x', L'y', L'z'}) {
    ::PostMessageW(edit, WM_CHAR, marker, 1);
    const bool typed =
        uitest::WaitUntil([&] { return uitest::TextOf(edit).find(marker) != std::wstring::npos; });
    if (!typed) return false;
  }
  return true;
}

// ---------------------------------------------------------------------------
// The template

struct TemplateControl {
  const wchar_t* className;
  int id;
  const wchar_t* text;
  RECT units;
  DWORD style;  // the whole style but WS_CHILD and WS_VISIBLE
};

RECT Units(LONG x, LONG y, LONG w, LONG h) { return RECT{x, y, x + w, y + h}; }

// x, y, width, height: comparable and printable.
std::array<LONG, 4> Box(const RECT& r) {
  return {r.left, r.top, r.right - r.left, r.bottom - r.top};
}

constexpr LANGID kJapanese = MAKELANGID(LANG_JAPANESE, SUBLANG_DEFAULT);

TEST(MainTemplateTest, HasEveryControlInTemplateOrder) {
  constexpr DWORD kEdit = ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
  constexpr DWORD kLabel = SS_LEFT | WS_GROUP;
  constexpr DWORD kRadio = BS_AUTORADIOBUTTON;
  constexpr DWORD kFrame = BS_GROUPBOX | WS_GROUP;
  const TemplateControl expected[] = {
      {L"Static", -1, L"ファイル名：", Units(7, 9, 32, 8), kLabel},
      {L"Edit", IDC_FILE_NAME, L"", Units(39, 7, 100, 12), kEdit},
      {L"Static", -1, L"サンプリングレート：", Units(7, 31, 56, 10), kLabel},
      {L"ComboBox", IDC_SAMPLE_RATE, L"", Units(64, 28, 61, 80),
       CBS_DROPDOWNLIST | WS_VSCROLL | WS_TABSTOP},
      {L"Button", IDC_STATION_NHK, L"NHK", Units(18, 64, 25, 8), kRadio | WS_GROUP},
      {L"Button", IDC_STATION_NIPPON, L"ニッポン放送", Units(78, 63, 44, 8), kRadio},
      {L"Button", -1, L"放送局の選択", Units(7, 53, 135, 39), kFrame},
      {L"Button", IDC_BIT_8, L"8ビット", Units(158, 19, 30, 8), kRadio | WS_GROUP},
      {L"Button", IDC_BIT_16, L"16ビット", Units(158, 33, 32, 8), kRadio},
      {L"Button", IDC_BIT_24, L"24ビット", Units(158, 47, 32, 8), kRadio},
      {L"Button", -1, L"データのサンプリングビット", Units(152, 7, 77, 56), kFrame},
      {L"Button", IDC_MONO, L"モノラル", Units(157, 80, 32, 8), kRadio | WS_GROUP},
      {L"Button", IDC_STEREO, L"ステレオ", Units(157, 94, 40, 8), kRadio},
      {L"Button", -1, L"チャンネル選択", Units(152, 68, 77, 40), kFrame},
      {L"Static", -1, L"予告音1周波数：", Units(7, 100, 49, 8), kLabel},
      {L"Edit", IDC_NOTICE_FREQ1, L"", Units(59, 98, 38, 12), kEdit},
      {L"Static", -1, L"Hz", Units(99, 100, 10, 8), kLabel},
      {L"Static", -1, L"予告音2周波数：", Units(7, 117, 50, 8), kLabel},
      {L"Edit", IDC_NOTICE_FREQ2, L"", Units(59, 115, 38, 12), kEdit},
      {L"Static", -1, L"Hz", Units(99, 117, 10, 8), kLabel},
      {L"Static", -1, L"本信号周波数：", Units(7, 134, 50, 8), kLabel},
      {L"Edit", IDC_MAIN_FREQ, L"", Units(59, 132, 38, 12), kEdit},
      {L"Static", -1, L"Hz", Units(99, 134, 10, 8), kLabel},
      {L"Button", IDC_GENERATE, L"時報音声生成", Units(60, 162, 50, 16),
       BS_PUSHBUTTON | WS_TABSTOP},
      {L"Button", IDOK, L"設定を保存して終了", Units(174, 162, 70, 16),
       BS_DEFPUSHBUTTON | WS_TABSTOP},
  };

  const auto dialog = uitest::LoadDialogTemplate(IDD_MAIN, kJapanese);
  ASSERT_TRUE(dialog.has_value());
  EXPECT_EQ(dialog->caption, L"Marvolen");
  EXPECT_EQ(Box(dialog->units), Box(Units(0, 0, 251, 185)));
  EXPECT_EQ(dialog->fontFace, L"MS UI Gothic");
  EXPECT_EQ(dialog->pointSize, 9);
  EXPECT_EQ(dialog->style, static_cast<DWORD>(DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_VISIBLE |
                                              WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX));
  EXPECT_EQ(dialog->exStyle, static_cast<DWORD>(WS_EX_APPWINDOW));
  ASSERT_EQ(dialog->items.size(), std::size(expected));
  for (size_t i = 0; i < std::size(expected); ++i) {
    SCOPED_TRACE(testing::Message() << "control " << i);
    const TemplateControl& want = expected[i];
    const uitest::TemplateItem& item = dialog->items[i];
    EXPECT_EQ(item.className, want.className);
    EXPECT_EQ(item.id, want.id);
    EXPECT_EQ(item.text, want.text);
    EXPECT_EQ(Box(item.units), Box(want.units));
    EXPECT_EQ(item.style, want.style | WS_CHILD | WS_VISIBLE);
    EXPECT_EQ(item.exStyle, 0u);
  }
}

TEST(MainTemplateTest, OpensInItsFontAndSize) {
  MemoryStore store;
  WatchedMainDialog dialog(store);
  uitest::RunModal(dialog, [&](const Driver& driver) {
    const HWND main = WaitForMain(driver);
    ASSERT_NE(main, nullptr);
    RECT client{};
    ::GetClientRect(main, &client);
    RECT size = Units(0, 0, 251, 185);
    ::MapDialogRect(main, &size);
    EXPECT_EQ(client.right, size.right);
    EXPECT_EQ(client.bottom, size.bottom);
    LOGFONTW font{};
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(main, WM_GETFONT, 0, 0)), sizeof(font),
                 &font);
    EXPECT_STREQ(font.lfFaceName, L"MS UI Gothic");
    EXPECT_NE(::GetWindowLongPtrW(main, GWL_EXSTYLE) & WS_EX_APPWINDOW, 0);
  });
}

TEST(MainTemplateTest, StringsAndIconAreInTheResources) {
  EXPECT_EQ(LoadAppTitle(), L"Marvolen");
  // The string table is Japanese like every other resource.
  EXPECT_NE(
      ::FindResourceExW(nullptr, RT_STRING, MAKEINTRESOURCEW(IDS_ABOUTBOX / 16 + 1), kJapanese),
      nullptr);
  EXPECT_EQ(dialogkit::LoadResourceString(IDS_ABOUTBOX), L"バージョン情報(&A)...");
  EXPECT_EQ(dialogkit::LoadResourceString(IDS_VERSION_PREFIX), L"Marvolen Version");
  EXPECT_NE(::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME)), nullptr);
}

TEST(MainTemplateTest, VersionResourceCarriesTheProjectVersion) {
  const std::wstring path = dialogkit::ModulePath();
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(path.c_str(), &ignored);
  ASSERT_GT(size, 0u);
  std::vector<BYTE> block(size);
  ASSERT_TRUE(::GetFileVersionInfoW(path.c_str(), 0, size, block.data()));
  VS_FIXEDFILEINFO* fixed = nullptr;
  UINT length = 0;
  ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\", reinterpret_cast<void**>(&fixed), &length));
  ASSERT_GT(length, 0u);
  EXPECT_EQ(fixed->dwFileVersionMS,
            static_cast<DWORD>(MARVOLEN_TEST_VERSION_MAJOR << 16 | MARVOLEN_TEST_VERSION_MINOR));
  EXPECT_EQ(fixed->dwFileVersionLS, static_cast<DWORD>(MARVOLEN_TEST_VERSION_PATCH << 16));
  wchar_t* text = nullptr;
  ASSERT_TRUE(::VerQueryValueW(block.data(), L"\\StringFileInfo\\041104b0\\FileVersion",
                               reinterpret_cast<void**>(&text), &length));
  EXPECT_EQ(std::wstring(text), std::to_wstring(MARVOLEN_TEST_VERSION_MAJOR) + L"." +
                                    std::to_wstring(MARVOLEN_TEST_VERSION_MINOR) + L"." +
                                    std::to_wstring(MARVOLEN_TEST_VERSION_PATCH) + L".0");
}

// ---------------------------------------------------------------------------
// Opening

TEST(MainOpenTest, ShowsTheDefaultsWithoutASettingsFile) {
  MemoryStore store;
  WatchedMainDialog dialog(store);
  uitest::RunModal(dialog, [&](const Driver& driver) {
    const HWND main = WaitForMain(driver);
    ASSERT_NE(main, nullptr);
    ASSERT_EQ(::SendDlgItemMessageW(main, IDC_SAMPLE_RATE, CB_GETCOUNT, 0, 0), 6);
    const wchar_t* rates[] = {L"8000", L"9600", L"22050", L"44100", L"48000", L"96000"};
    for (int i = 0; i < 6; ++i) {
      wchar_t text[16] = {};
      ::SendDlgItemMessageW(main, IDC_SAMPLE_RATE, CB_GETLBTEXT, static_cast<WPARAM>(i),
                            reinterpret_cast<LPARAM>(text));
      EXPECT_STREQ(text, rates[i]);
    }
    EXPECT_EQ(ComboSelection(main), 0);
    EXPECT_EQ(uitest::ItemText(main, IDC_FILE_NAME), L"TestSound01.wav");
    EXPECT_FALSE(uitest::IsChecked(main, IDC_BIT_8));
    EXPECT_TRUE(uitest::IsChecked(main, IDC_BIT_16));
    EXPECT_FALSE(uitest::IsChecked(main, IDC_BIT_24));
    EXPECT_FALSE(uitest::IsChecked(main, IDC_MONO));
    EXPECT_TRUE(uitest::IsChecked(main, IDC_STEREO));
    EXPECT_TRUE(uitest::IsChecked(main, IDC_STATION_NHK));
    EXPECT_FALSE(uitest::IsChecked(main, IDC_STATION_NIPPON));
    EXPECT_EQ(uitest::ItemText(main, IDC_NOTICE_FREQ1), L"440");
    EXPECT_EQ(uitest::ItemText(main, IDC_NOTICE_FREQ2), L"400");
    EXPECT_EQ(uitest::ItemText(main, IDC_MAIN_FREQ), L"880");
    EXPECT_EQ(driver.FocusOf(main), ::GetDlgItem(main, IDC_FILE_NAME));
    EXPECT_TRUE(::IsWindowEnabled(main));

    // The window menu ends with a separator and the about item.
    const HMENU menu = ::GetSystemMenu(main, FALSE);
    const int count = ::GetMenuItemCount(menu);
    ASSERT_GE(count, 2);
    EXPECT_NE(::GetMenuState(menu, static_cast<UINT>(count - 2), MF_BYPOSITION) & MF_SEPARATOR, 0u);
    EXPECT_EQ(::GetMenuItemID(menu, count - 1), static_cast<UINT>(IDM_ABOUTBOX));
    wchar_t item[64] = {};
    ::GetMenuStringW(menu, static_cast<UINT>(count - 1), item, 64, MF_BYPOSITION);
    EXPECT_STREQ(item, L"バージョン情報(&A)...");

    const HICON icon = ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDR_MAINFRAME));
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageW(main, WM_GETICON, ICON_BIG, 0)), icon);
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageW(main, WM_GETICON, ICON_SMALL, 0)), icon);
    EXPECT_EQ(reinterpret_cast<HICON>(::SendMessageW(main, WM_QUERYDRAGICON, 0, 0)), icon);
    EXPECT_FALSE(uitest::CloseItemGrayed(main));
    EXPECT_FALSE(uitest::ClassHasNoClose(main));
  });
  EXPECT_TRUE(store.writes.empty());
}

TEST(MainOpenTest, ShowsTheStoredValuesAndLeavesOddCodesUnchecked) {
  MemoryStore store;
  store.values = {{L"ComboFreqListCurSel", L"6"},
                  {L"SaveFileName", L"時報.wav"},
                  {L"BitSize", L"7"},
                  {L"Monaural", L"0"},
                  {L"SelectHousoukyoku", L"1"},
                  {L"NoticeSoundFreq1", L"5"},
                  {L"NoticeSoundFreq2", L"20000"},
                  {L"MainSignalSoundFreq", L"20001"}};
  WatchedMainDialog dialog(store);
  uitest::RunModal(dialog, [&](const Driver& driver) {
    const HWND main = WaitForMain(driver);
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(ComboSelection(main), -1);
    EXPECT_EQ(uitest::ItemText(main, IDC_FILE_NAME), L"時報.wav");
    EXPECT_FALSE(uitest::IsChecked(main, IDC_BIT_8));
    EXPECT_FALSE(uitest::IsChecked(main, IDC_BIT_16));
    EXPECT_FALSE(uitest::IsChecked(main, IDC_BIT_24));
    EXPECT_TRUE(uitest::IsChecked(main, IDC_MONO));
    EXPECT_TRUE(uitest::IsChecked(main, IDC_STATION_NIPPON));
    EXPECT_EQ(uitest::ItemText(main, IDC_NOTICE_FREQ1), L"5");
    EXPECT_EQ(uitest::ItemText(main, IDC_NOTICE_FREQ2), L"20000");
    EXPECT_EQ(uitest::ItemText(main, IDC_MAIN_FREQ), L"880");
  });
}

// ---------------------------------------------------------------------------
// Leaving

TEST(MainExitTest, SaveAndExitWritesTheEightKeysInOrder) {
  MemoryStore store;
  WatchedMainDialog dialog(store);
  const INT_PTR result = uitest::RunModal(dialog, [&](const Driver& driver) {
    const HWND main = WaitForMain(driver);
    ASSERT_NE(main, nullptr);
    SelectRate(main, 5);
    uitest::SetItemText(main, IDC_FILE_NAME, L"C:\\音\\out.wav");
    Check(main, IDC_BIT_24);
    Check(main, IDC_MONO);
    Check(main, IDC_STATION_NIPPON);
    uitest::SetItemText(main, IDC_NOTICE_FREQ1, L"1000");
    uitest::SetItemText(main, IDC_NOTICE_FREQ2, L" 2000Hz");
    uitest::SetItemText(main, IDC_MAIN_FREQ, L"5");
    uitest::Click(main, IDOK);
  });
  EXPECT_EQ(result, IDOK);
  const std::vector<std::pair<std::wstring, std::wstring>> expected = {
      {L"ComboFreqListCurSel", L"5"},
      {L"SaveFileName", L"C:\\音\\out.wav"},
      {L"BitSize", L"2"},
      {L"Monaural", L"0"},
      {L"SelectHousoukyoku", L"1"},
      {L"NoticeSoundFreq1", L"1000"},
      {L"NoticeSoundFreq2", L"2000"},
      {L"MainSignalSoundFreq", L"5"}};
  EXPECT_EQ(store.writes, expected);
  EXPECT_TRUE(dialog.generations.empty());
}

TEST(MainExitTest, UncheckedGroupsAndNoRateAreSavedAsMinusOne) {
  MemoryStore store;
  store.values = {{L"ComboFreqListCurSel", L"-1"}, {L"BitSize", L"7"}};
  WatchedMainDialog dialog(store);
  uitest::RunModal(dialog, [&](const Driver& driver) {
    const HWND main = WaitForMain(driver);
    ASSERT_NE(main, nullptr);
    uitest::Click(main, IDOK);
  });
  ASSERT_EQ(store.writes.size(), 8u);
  EXPECT_EQ(store.writes[0].second, L"-1");
  EXPECT_EQ(store.writes[2].second, L"-1");
}

TEST(MainExitTest, CloseBoxAndWindowMenuCloseEndWithoutSaving) {
  // WM_CLOSE is what the close box sends; SC_CLOSE is Close in the window menu.
  for (const bool fromMenu : {false, true}) {
    MemoryStore store;
    WatchedMainDialog dialog(store);
    const INT_PTR result = uitest::RunModal(dialog, [&](const Driver& driver) {
      const HWND main = WaitForMain(driver);
      ASSERT_NE(main, nullptr);
      uitest::SetItemText(main, IDC_NOTICE_FREQ1, L"1234");
      if (fromMenu) {
        ::PostMessageW(main, WM_SYSCOMMAND, SC_CLOSE, 0);
      } else {
        ::PostMessageW(main, WM_CLOSE, 0, 0);
      }
    });
    EXPECT_EQ(result, IDCANCEL) << (fromMenu ? "menu" : "close box");
    EXPECT_TRUE(store.writes.empty());
  }
}

TEST(MainExitTest, EnterAndEscNeitherSaveNorClose) {
  for (const WPARAM key : {WPARAM{VK_RETURN}, WPARAM{VK_ESCAPE}}) {
    for (const int focusId : {IDC_FILE_NAME, IDC_NOTICE_FREQ1}) {
      MemoryStore store;
      WatchedMainDialog dialog(store);
      bool stillOpen = false;
      bool noBox = false;
      uitest::RunModal(dialog, [&](const Driver& driver) {
        const HWND main = WaitForMain(driver);
        ASSERT_NE(main, nullptr);
        const HWND edit = ::GetDlgItem(main, focusId);
        // The key goes where the user would have it: the focused edit.
        ::SendMessageW(main, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(edit), TRUE);
        ::PostMessageW(edit, WM_KEYDOWN, key, 1);
        ::PostMessageW(edit, WM_KEYUP, key, 0xC0000001);
        EXPECT_TRUE(DrainQueue(main, focusId));
        stillOpen = ::IsWindowVisible(main) != 0;
        noBox = driver.NoMessageBox();
      });
      EXPECT_TRUE(stillOpen) << "key " << key << " in control " << focusId;
      EXPECT_TRUE(noBox) << "key " << key << " in control " << focusId;
      EXPECT_TRUE(store.writes.empty()) << "key " << key << " in control " << focusId;
    }
  }
}

TEST(MainExitTest, F1ReportsThatHelpCannotStartAndChangesNothing) {
  MemoryStore store;
  WatchedMainDialog dialog(store);
  std::optional<uitest::MessageBoxInfo> box;
  uitest::RunModal(dialog, [&](const Driver& driver) {
    const HWND main = WaitForMain(driver);
    ASSERT_NE(main, nullptr);
    ::PostMessageW(::GetDlgItem(main, IDC_NOTICE_FREQ1), WM_KEYDOWN, VK_F1, 1);
    box = driver.ExpectMessageBox();
    EXPECT_TRUE(::IsWindowVisible(main));
  });
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, L"ヘルプの起動に失敗しました。");
  EXPECT_EQ(box->caption, kExeName);
  EXPECT_EQ(box->icon, static_cast<UINT>(MB_ICONEXCLAMATION));
  EXPECT_TRUE(store.writes.empty());
}

TEST(MainExitTest, WindowMenuItemOpensTheAboutBox) {
  MemoryStore store;
  WatchedMainDialog dialog(store);
  uitest::RunModal(dialog, [&](const Driver& driver) {
    const HWND main = WaitForMain(driver);
    ASSERT_NE(main, nullptr);
    // The low four bits of a window-menu command belong to the system.
    ::SendMessageW(main, WM_SYSCOMMAND, IDM_ABOUTBOX | 0x3, 0);
    EXPECT_TRUE(::IsWindowVisible(main));
  });
  EXPECT_EQ(dialog.aboutBoxes, 1);
}

// ---------------------------------------------------------------------------
// Validation, through both buttons

struct FrequencyCase {
  int editId;
  const wchar_t* text;
  const wchar_t* message;  // nullptr: accepted
};

const FrequencyCase kFrequencyCases[] = {
    {IDC_NOTICE_FREQ1, L"", L"整数を入力してください。"},
    {IDC_NOTICE_FREQ1, L"abc", L"整数を入力してください。"},
    {IDC_NOTICE_FREQ1, L"Hz440", L"整数を入力してください。"},
    {IDC_NOTICE_FREQ1, L"4", L"5 から 20000 までの整数を入力してください。"},
    {IDC_NOTICE_FREQ1, L"440Hz", nullptr},
    {IDC_NOTICE_FREQ1, L"   440", nullptr},
    {IDC_NOTICE_FREQ2, L"20001", L"5 から 20000 までの整数を入力してください。"},
    {IDC_NOTICE_FREQ2, L"x1", L"整数を入力してください。"},
    {IDC_NOTICE_FREQ2, L"20000", nullptr},
    {IDC_MAIN_FREQ, L"-5", L"5 から 20000 までの整数を入力してください。"},
    {IDC_MAIN_FREQ, L"", L"整数を入力してください。"},
    {IDC_MAIN_FREQ, L"5", nullptr},
};

class MainValidationTest : public testing::TestWithParam<int> {};

TEST_P(MainValidationTest, ReportsEachBadFrequencyOnTheEdit) {
  const int button = GetParam();
  for (const FrequencyCase& c : kFrequencyCases) {
    SCOPED_TRACE(testing::Message() << "edit " << c.editId << " text '"
                                    << testing::PrintToString(c.text) << "' button " << button);
    MemoryStore store;
    WatchedMainDialog dialog(store);
    std::optional<uitest::MessageBoxInfo> box;
    HWND focus = nullptr;
    HWND edit = nullptr;
    std::pair<DWORD, DWORD> selection;
    const INT_PTR result = uitest::RunModal(dialog, [&](const Driver& driver) {
      const HWND main = WaitForMain(driver);
      ASSERT_NE(main, nullptr);
      SelectRate(main, 3);
      uitest::SetItemText(main, c.editId, c.text);
      uitest::Click(main, button);
      if (!c.message) {
        if (button == IDC_GENERATE) {
          uitest::WaitUntil(
              [&] { return uitest::IsEnabled(main, IDOK) && dialog.generationCount.load() > 0; });
          ::PostMessageW(main, WM_COMMAND, IDCANCEL, 0);
        }
        return;
      }
      box = driver.ExpectMessageBox();
      edit = ::GetDlgItem(main, c.editId);
      uitest::WaitUntil([&] { return driver.FocusOf(main) == edit; });
      focus = driver.FocusOf(main);
      selection = uitest::Selection(main, c.editId);
      ::PostMessageW(main, WM_COMMAND, IDCANCEL, 0);
    });
    // The rate is taken before validation, whatever its outcome.
    EXPECT_EQ(dialog.settings().SampleRate, button == IDC_GENERATE ? 44100 : 0);
    if (!c.message) {
      EXPECT_EQ(result, button == IDC_GENERATE ? IDCANCEL : IDOK);
      EXPECT_EQ(store.writes.size(), button == IDOK ? 8u : 0u);
      EXPECT_EQ(dialog.generations.size(), button == IDC_GENERATE ? 1u : 0u);
      continue;
    }
    EXPECT_EQ(result, IDCANCEL);
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, c.message);
    EXPECT_EQ(box->caption, kExeName);
    EXPECT_EQ(box->icon, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_EQ(focus, edit);
    EXPECT_EQ(selection.first, 0u);
    EXPECT_EQ(selection.second, std::wstring(c.text).size());
    EXPECT_TRUE(store.writes.empty());
    EXPECT_TRUE(dialog.generations.empty());
  }
}

INSTANTIATE_TEST_SUITE_P(Buttons, MainValidationTest, testing::Values(IDC_GENERATE, IDOK),
                         [](const testing::TestParamInfo<int>& info) {
                           return info.param == IDOK ? std::string("SaveAndExit")
                                                     : std::string("Generate");
                         });

TEST(MainValidationOrderTest, OnlyTheFirstBadEditIsReportedAndEarlierOnesAreStored) {
  MemoryStore store;
  WatchedMainDialog dialog(store);
  std::optional<uitest::MessageBoxInfo> box;
  HWND focus = nullptr;
  HWND expectedFocus = nullptr;
  uitest::RunModal(dialog, [&](const Driver& driver) {
    const HWND main = WaitForMain(driver);
    ASSERT_NE(main, nullptr);
    uitest::SetItemText(main, IDC_NOTICE_FREQ1, L"1500");
    uitest::SetItemText(main, IDC_NOTICE_FREQ2, L"bad");
    uitest::SetItemText(main, IDC_MAIN_FREQ, L"99999");
    uitest::Click(main, IDC_GENERATE);
    box = driver.ExpectMessageBox();
    expectedFocus = ::GetDlgItem(main, IDC_NOTICE_FREQ2);
    uitest::WaitUntil([&] { return driver.FocusOf(main) == expectedFocus; });
    focus = driver.FocusOf(main);
    EXPECT_TRUE(driver.NoMessageBox());
  });
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, L"整数を入力してください。");
  EXPECT_EQ(focus, expectedFocus);
  EXPECT_EQ(dialog.settings().NoticeSoundFreq1, 1500);
  EXPECT_EQ(dialog.settings().MainSignalSoundFreq, 880);
}

// ---------------------------------------------------------------------------
// Generating

TEST(MainGenerateTest, LocksEveryControlAndTheCloseBoxWhileGenerating) {
  MemoryStore store;
  WatchedMainDialog dialog(store);
  std::vector<bool> enabledAfter;
  bool grayedAfter = true;
  bool noCloseAfter = true;
  bool closesAfter = false;
  uitest::RunModal(dialog, [&](const Driver& driver) {
    const HWND main = WaitForMain(driver);
    ASSERT_NE(main, nullptr);
    SelectRate(main, 2);
    uitest::SetItemText(main, IDC_FILE_NAME, L"gen.wav");
    Check(main, IDC_BIT_8);
    Check(main, IDC_MONO);
    Check(main, IDC_STATION_NIPPON);
    uitest::SetItemText(main, IDC_NOTICE_FREQ1, L"1000");
    uitest::SetItemText(main, IDC_NOTICE_FREQ2, L"2000");
    uitest::SetItemText(main, IDC_MAIN_FREQ, L"3000");
    uitest::Click(main, IDC_GENERATE);
    uitest::WaitUntil(
        [&] { return dialog.generationCount.load() > 0 && uitest::IsEnabled(main, IDOK); });
    enabledAfter = uitest::LockedControlsEnabled(main);
    grayedAfter = uitest::CloseItemGrayed(main);
    noCloseAfter = uitest::ClassHasNoClose(main);
    // The close box works again.
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    closesAfter = uitest::WaitUntil([&] { return !::IsWindow(main); });
  });
  ASSERT_EQ(dialog.generations.size(), 1u);
  const uitest::GenerationSnapshot& during = dialog.generations.front();
  EXPECT_EQ(during.lockedControlsEnabled, std::vector<bool>(14, false));
  EXPECT_TRUE(during.closeItemGrayed);
  EXPECT_TRUE(during.classHasNoClose);
  EXPECT_EQ(during.settings.SampleRate, 22050);
  EXPECT_EQ(during.settings.SaveFileName, L"gen.wav");
  EXPECT_EQ(during.settings.BitSize, marvolen::kBitSize8);
  EXPECT_EQ(during.settings.Monaural, marvolen::kMono);
  EXPECT_EQ(during.settings.SelectHousoukyoku, marvolen::kStationNippon);
  EXPECT_EQ(during.settings.NoticeSoundFreq1, 1000);
  EXPECT_EQ(during.settings.NoticeSoundFreq2, 2000);
  EXPECT_EQ(during.settings.MainSignalSoundFreq, 3000);
  EXPECT_EQ(enabledAfter, std::vector<bool>(14, true));
  EXPECT_FALSE(grayedAfter);
  EXPECT_FALSE(noCloseAfter);
  EXPECT_TRUE(closesAfter);
  // A generation saves nothing.
  EXPECT_TRUE(store.writes.empty());
}

TEST(MainGenerateTest, NoRateSelectedIsReportedAsAnInvalidArgument) {
  MemoryStore store;
  store.values = {{L"ComboFreqListCurSel", L"6"}};
  WatchedMainDialog dialog(store);
  std::optional<uitest::MessageBoxInfo> box;
  std::vector<bool> enabled;
  uitest::RunModal(dialog, [&](const Driver& driver) {
    const HWND main = WaitForMain(driver);
    ASSERT_NE(main, nullptr);
    // A bad frequency too: the rate is read, and refused, before validation.
    uitest::SetItemText(main, IDC_MAIN_FREQ, L"bad");
    uitest::Click(main, IDC_GENERATE);
    box = driver.ExpectMessageBox();
    EXPECT_TRUE(driver.NoMessageBox());
    enabled = uitest::LockedControlsEnabled(main);
  });
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, dialogkit::ErrorText(E_INVALIDARG));
  EXPECT_EQ(box->caption, kExeName);
  EXPECT_EQ(box->icon, static_cast<UINT>(MB_ICONSTOP));
  EXPECT_TRUE(dialog.generations.empty());
  EXPECT_EQ(enabled, std::vector<bool>(14, true));
}

TEST(MainGenerateTest, AGroupWithoutAChoiceIsRefusedBeforeLocking) {
  struct Case {
    const wchar_t* key;
    int firstId;
    const wchar_t* groupName;
  };
  const Case cases[] = {{L"BitSize", IDC_BIT_8, L"データのサンプリングビット"},
                        {L"Monaural", IDC_MONO, L"チャンネル選択"},
                        {L"SelectHousoukyoku", IDC_STATION_NHK, L"放送局の選択"}};
  for (const Case& c : cases) {
    SCOPED_TRACE(testing::PrintToString(c.key));
    MemoryStore store;
    store.values = {{c.key, L"7"}};
    WatchedMainDialog dialog(store);
    std::optional<uitest::MessageBoxInfo> box;
    HWND focus = nullptr;
    HWND expectedFocus = nullptr;
    uitest::RunModal(dialog, [&](const Driver& driver) {
      const HWND main = WaitForMain(driver);
      ASSERT_NE(main, nullptr);
      uitest::Click(main, IDC_GENERATE);
      box = driver.ExpectMessageBox();
      expectedFocus = ::GetDlgItem(main, c.firstId);
      uitest::WaitUntil([&] { return driver.FocusOf(main) == expectedFocus; });
      focus = driver.FocusOf(main);
    });
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, NoChoiceMessage(c.groupName));
    EXPECT_EQ(box->caption, kExeName);
    EXPECT_EQ(box->icon, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_EQ(focus, expectedFocus);
    EXPECT_TRUE(dialog.generations.empty());
  }
  EXPECT_EQ(NoChoiceMessage(L"チャンネル選択"),
            L"「チャンネル選択」が選択されていません。選択してから時報音声を生成してください。");
}

// A fresh folder for written files, removed afterwards.
class ScratchFolder {
 public:
  ScratchFolder() {
    wchar_t name[32];
    swprintf(name, 32, L"mv-ui-%lu-%lu", ::GetCurrentProcessId(), ::GetTickCount());
    path_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(path_);
  }
  ~ScratchFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

std::vector<char> ReadBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

class SilentReporter final : public marvolen::ErrorReporter {
 public:
  void Report(const std::wstring& text) override { reports.push_back(text); }
  std::vector<std::wstring> reports;
};

TEST(MainGenerateTest, WritesTheSameFileAsTheRenderingJob) {
  ScratchFolder folder;
  const std::filesystem::path output = folder.path() / L"時報.wav";
  MemoryStore store;
  WatchedMainDialog dialog(store, /*render=*/true);
  uitest::RunModal(dialog, [&](const Driver& driver) {
    const HWND main = WaitForMain(driver);
    ASSERT_NE(main, nullptr);
    SelectRate(main, 0);
    uitest::SetItemText(main, IDC_FILE_NAME, output.wstring());
    Check(main, IDC_STATION_NIPPON);
    uitest::SetItemText(main, IDC_NOTICE_FREQ2, L"1234");
    uitest::Click(main, IDC_GENERATE);
    uitest::WaitUntil(
        [&] { return dialog.generationCount.load() > 0 && uitest::IsEnabled(main, IDOK); });
    EXPECT_TRUE(driver.NoMessageBox());
  });
  ASSERT_EQ(dialog.generations.size(), 1u);

  marvolen::SignalSettings expected;
  expected.SampleRate = 8000;
  expected.SaveFileName = (folder.path() / L"expected.wav").wstring();
  expected.SelectHousoukyoku = marvolen::kStationNippon;
  expected.NoticeSoundFreq2 = 1234;
  SilentReporter reporter;
  ASSERT_EQ(marvolen::RenderTimeSignal(expected, nullptr, reporter),
            marvolen::RenderOutcome::Completed);
  const std::vector<char> written = ReadBytes(output);
  EXPECT_EQ(written.size(), marvolen::WavFileSize(expected));
  EXPECT_TRUE(written == ReadBytes(expected.SaveFileName));
}

TEST(MainGenerateTest, TheJobsMessageIsShownWhileLockedAndUnlocksAfter) {
  ScratchFolder folder;
  MemoryStore store;
  WatchedMainDialog dialog(store, /*render=*/true);
  std::optional<uitest::MessageBoxInfo> box;
  std::vector<bool> enabledDuring;
  std::vector<bool> enabledAfter;
  HWND boxOwner = nullptr;
  HWND mainWindow = nullptr;
  uitest::RunModal(dialog, [&](const Driver& driver) {
    const HWND main = WaitForMain(driver);
    ASSERT_NE(main, nullptr);
    mainWindow = main;
    // A folder that does not exist: the file cannot be opened.
    uitest::SetItemText(main, IDC_FILE_NAME, (folder.path() / L"missing" / L"x.wav").wstring());
    uitest::Click(main, IDC_GENERATE);
    // The job's box belongs to the progress dialog's worker thread.
    const Driver process(uitest::WindowScope{::GetCurrentProcessId(), 0});
    box = process.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    boxOwner = ::GetWindow(box->hwnd, GW_OWNER);
    enabledDuring = uitest::LockedControlsEnabled(main);
    process.CloseMessageBox(box->hwnd);
    uitest::WaitUntil([&] { return uitest::IsEnabled(main, IDOK); });
    enabledAfter = uitest::LockedControlsEnabled(main);
  });
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, marvolen::kOpenFailedMessage);
  EXPECT_EQ(box->caption, L"Marvolen");
  EXPECT_EQ(box->icon, static_cast<UINT>(MB_ICONINFORMATION));
  EXPECT_EQ(boxOwner, mainWindow);
  EXPECT_EQ(enabledDuring, std::vector<bool>(14, false));
  EXPECT_EQ(enabledAfter, std::vector<bool>(14, true));
}

TEST(LockTableTest, ListsTheFourteenControlsInOrder) {
  const std::vector<int> expected = {1000, 1005, 1008, 1009, 1002, 1003, 1013,
                                     1006, 1007, 1010, 1011, 1012, 1001, 1};
  std::vector<int> ids;
  for (const int* id = kLockedControlIds; *id != -1; ++id) ids.push_back(*id);
  EXPECT_EQ(ids, expected);
  EXPECT_EQ(MissingControlMessage(1013),
            L"コントロールID[1013]は、ダイアログ画面内に存在しません。");
}

}  // namespace
