// The dialog layer on a test template: data exchange and validation, the
// modal loop, owner handling, message routing and the framework's boxes.
#include <gtest/gtest.h>

#include <climits>
#include <functional>
#include <stdexcept>
#include <vector>

#include "dialogkit/app.h"
#include "dialogkit/data_exchange.h"
#include "dialogkit/dialog.h"
#include "dialogkit/message_box.h"
#include "tests/ui/gui_driver.h"
#include "tests/ui/test_dialogs.h"

namespace {

using uitest::Driver;

constexpr UINT WM_APP_ANSWER = WM_APP + 5;      // returns 1000 + wParam
constexpr UINT WM_APP_OPEN_CHILD = WM_APP + 6;  // runs the child dialog modally
constexpr UINT WM_APP_MARK = WM_APP + 7;        // only counted by PreTranslateMessage
constexpr int IDC_KIT_THROW = 1200;             // a command whose handler throws

class KitChild : public dialogkit::Dialog {
 public:
  explicit KitChild(Dialog* parent) : Dialog(IDD_KIT_CHILD, parent) {}
};

class KitDialog : public dialogkit::Dialog {
 public:
  KitDialog() : Dialog(IDD_KIT_TEST) {}

  std::wstring name = L"初期値";
  int32_t first = 440;
  int32_t second = 880;
  std::wstring lastText = L"last";
  int32_t a = 1;
  int32_t b = 1;
  int32_t c = 0;

  std::function<void(KitDialog&)> onInit;
  int marksSeen = 0;
  INT_PTR childResult = 0;

 protected:
  BOOL OnInitDialog() override {
    Dialog::OnInitDialog();
    if (onInit) onInit(*this);
    return TRUE;
  }

  void DoDataExchange(dialogkit::DataExchange& dx) override {
    dx.Text(IDC_KIT_NAME, name);
    dx.Int(IDC_KIT_FIRST_INT, first);
    dx.MinMaxInt(IDC_KIT_FIRST_INT, first, 5, 20000);
    dx.Int(IDC_KIT_SECOND_INT, second);
    dx.MinMaxInt(IDC_KIT_SECOND_INT, second, 5, 20000);
    dx.Text(IDC_KIT_LAST_TEXT, lastText);
    dx.Radio(IDC_KIT_A0, a);
    dx.Radio(IDC_KIT_B0, b);
    dx.Radio(IDC_KIT_C0, c);
  }

  bool PreTranslateMessage(MSG& msg) override {
    if (msg.message == WM_APP_MARK) {
      ++marksSeen;
      return true;
    }
    return Dialog::PreTranslateMessage(msg);
  }

  dialogkit::MessageResult OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override {
    switch (message) {
      case WM_APP_ANSWER:
        return static_cast<LRESULT>(1000 + wParam);
      case WM_APP_OPEN_CHILD:
        return OnOpenChild();
    }
    return Dialog::OnMessage(message, wParam, lParam);
  }

  bool OnCommand(int id, int code, HWND control) override {
    switch (id) {
      case IDC_KIT_THROW:
        throw std::runtime_error("handler failed");
    }
    return Dialog::OnCommand(id, code, control);
  }

 private:
  LRESULT OnOpenChild() {
    KitChild child(this);
    childResult = child.DoModal();
    return 0;
  }
};

HWND WaitForKit(const Driver& driver) { return driver.WaitForDialog(L"Kit test"); }

TEST(ScanIntTest, ReadsTheFirstIntegerLikePercentD) {
  struct Case {
    const wchar_t* text;
    std::optional<int32_t> expected;
  };
  const Case cases[] = {
      {L"440", 440},
      {L"440Hz", 440},
      {L"   440", 440},
      {L"\t\r\n440", 440},
      {L"-3", -3},
      {L"+7", 7},
      {L"0x10", 0},
      {L"2147483647", INT32_MAX},
      {L"-2147483648", INT32_MIN},
      {L"99999999999", INT32_MAX},  // saturates instead of wrapping into range
      {L"-99999999999", INT32_MIN},
      {L"", std::nullopt},
      {L"Hz440", std::nullopt},
      {L"- 5", std::nullopt},
      {L"+", std::nullopt},
      {L"\x3000"
       L"440",
       std::nullopt},             // an ideographic space is no blank to %d
      {L"４４０", std::nullopt},  // nor are full-width digits digits
  };
  for (const Case& c : cases) {
    EXPECT_EQ(dialogkit::ScanInt(c.text), c.expected) << "text: " << testing::PrintToString(c.text);
  }
}

TEST(MessagesTest, RangeMessageNamesTheBounds) {
  EXPECT_EQ(dialogkit::OutOfRangeMessage(5, 20000), L"5 から 20000 までの整数を入力してください。");
  EXPECT_STREQ(dialogkit::kNotAnIntegerMessage, L"整数を入力してください。");
}

TEST(AppTest, NamesComeFromTheExecutableFileName) {
  EXPECT_EQ(dialogkit::FileTitle(L"C:\\Tools\\Marvolen.exe"), L"Marvolen");
  EXPECT_EQ(dialogkit::FileTitle(L"C:\\a.b\\Time.Signal.exe"), L"Time.Signal");
  EXPECT_EQ(dialogkit::FileTitle(L"D:/x/NoExtension"), L"NoExtension");
  EXPECT_EQ(dialogkit::AppName(), L"ui_dialogkit_tests");
}

TEST(DataExchangeTest, ShowsTheMembersInTheControls) {
  KitDialog dialog;
  dialog.name = L"ファイル.wav";
  dialog.first = -12;
  dialog.second = 20000;
  dialog.a = 2;
  dialog.b = 1;
  dialog.c = 0;
  uitest::RunModal(dialog, [](const Driver& driver) {
    const HWND kit = WaitForKit(driver);
    ASSERT_NE(kit, nullptr);
    EXPECT_EQ(uitest::ItemText(kit, IDC_KIT_NAME), L"ファイル.wav");
    EXPECT_EQ(uitest::ItemText(kit, IDC_KIT_FIRST_INT), L"-12");
    EXPECT_EQ(uitest::ItemText(kit, IDC_KIT_SECOND_INT), L"20000");
    EXPECT_FALSE(uitest::IsChecked(kit, IDC_KIT_A0));
    EXPECT_FALSE(uitest::IsChecked(kit, IDC_KIT_A1));
    EXPECT_TRUE(uitest::IsChecked(kit, IDC_KIT_A2));
    // Index 1 of group B is the second radio button; the check box between
    // them takes no index and is left alone.
    EXPECT_FALSE(uitest::IsChecked(kit, IDC_KIT_B0));
    EXPECT_FALSE(uitest::IsChecked(kit, IDC_KIT_B_CHECK));
    EXPECT_TRUE(uitest::IsChecked(kit, IDC_KIT_B1));
    EXPECT_TRUE(uitest::IsChecked(kit, IDC_KIT_C0));
  });
}

TEST(DataExchangeTest, RadioGroupsGiveMinusOneWhenNothingIsChecked) {
  // Index -1 and an index past the group both leave every button unchecked;
  // reading back then gives -1. Valid indices come back unchanged.
  struct Case {
    int32_t stored;
    int32_t readBack;
  };
  for (const Case c :
       {Case{-1, -1}, Case{0, 0}, Case{1, 1}, Case{2, 2}, Case{3, -1}, Case{7, -1}}) {
    KitDialog dialog;
    dialog.a = c.stored;
    int checkedButtons = -1;
    const INT_PTR result = uitest::RunModal(dialog, [&](const Driver& driver) {
      const HWND kit = WaitForKit(driver);
      ASSERT_NE(kit, nullptr);
      checkedButtons = uitest::IsChecked(kit, IDC_KIT_A0) + uitest::IsChecked(kit, IDC_KIT_A1) +
                       uitest::IsChecked(kit, IDC_KIT_A2);
      ::PostMessageW(kit, WM_COMMAND, IDOK, 0);
    });
    EXPECT_EQ(result, IDOK);
    EXPECT_EQ(checkedButtons, c.readBack == -1 ? 0 : 1) << "stored " << c.stored;
    EXPECT_EQ(dialog.a, c.readBack) << "stored " << c.stored;
  }
}

TEST(DataExchangeTest, ReadsTheControlsIntoTheMembers) {
  KitDialog dialog;
  const INT_PTR result = uitest::RunModal(dialog, [](const Driver& driver) {
    const HWND kit = WaitForKit(driver);
    ASSERT_NE(kit, nullptr);
    uitest::SetItemText(kit, IDC_KIT_NAME, L"");
    uitest::SetItemText(kit, IDC_KIT_FIRST_INT, L"  5Hz");
    uitest::SetItemText(kit, IDC_KIT_SECOND_INT, L"20000");
    uitest::SetItemText(kit, IDC_KIT_LAST_TEXT, L"新しい");
    ::SendMessageW(::GetDlgItem(kit, IDC_KIT_A1), BM_SETCHECK, BST_UNCHECKED, 0);
    ::SendMessageW(::GetDlgItem(kit, IDC_KIT_A0), BM_SETCHECK, BST_CHECKED, 0);
    ::SendMessageW(::GetDlgItem(kit, IDC_KIT_C0), BM_SETCHECK, BST_UNCHECKED, 0);
    ::PostMessageW(kit, WM_COMMAND, IDOK, 0);
  });
  EXPECT_EQ(result, IDOK);
  EXPECT_EQ(dialog.name, L"");
  EXPECT_EQ(dialog.first, 5);
  EXPECT_EQ(dialog.second, 20000);
  EXPECT_EQ(dialog.lastText, L"新しい");
  EXPECT_EQ(dialog.a, 0);
  EXPECT_EQ(dialog.b, 1);
  EXPECT_EQ(dialog.c, -1);
}

TEST(DataExchangeTest, ReadsAtMostTheFirst63Characters) {
  struct Case {
    std::wstring text;
    bool accepted;
  };
  const Case cases[] = {{std::wstring(62, L' ') + L"5", true},
                        {std::wstring(63, L' ') + L"5", false}};
  for (const Case& c : cases) {
    KitDialog dialog;
    std::optional<uitest::MessageBoxInfo> box;
    uitest::RunModal(dialog, [&](const Driver& driver) {
      const HWND kit = WaitForKit(driver);
      ASSERT_NE(kit, nullptr);
      uitest::SetItemText(kit, IDC_KIT_FIRST_INT, c.text);
      ::PostMessageW(kit, WM_COMMAND, IDOK, 0);
      if (!c.accepted) box = driver.ExpectMessageBox();
    });
    if (c.accepted) {
      EXPECT_EQ(dialog.first, 5);
    } else {
      ASSERT_TRUE(box.has_value());
      EXPECT_EQ(box->text, L"整数を入力してください。");
    }
  }
}

// One failing binding: the message, the focus and selection on its edit, the
// bindings before it stored and the ones after it not run.
struct FailureCase {
  const wchar_t* first;
  const wchar_t* second;
  int failingId;
  const wchar_t* message;
  int32_t firstAfter;   // the member after the failed read
  int32_t secondAfter;  // likewise
};

class ValidationTest : public testing::TestWithParam<FailureCase> {};

TEST_P(ValidationTest, StopsAtTheFirstFailingBinding) {
  const FailureCase& c = GetParam();
  KitDialog dialog;
  std::optional<uitest::MessageBoxInfo> box;
  HWND focus = nullptr;
  HWND failingEdit = nullptr;
  std::pair<DWORD, DWORD> selection;
  size_t textLength = 0;
  bool stillOpen = false;
  const INT_PTR result = uitest::RunModal(dialog, [&](const Driver& driver) {
    const HWND kit = WaitForKit(driver);
    ASSERT_NE(kit, nullptr);
    uitest::SetItemText(kit, IDC_KIT_NAME, L"stored");
    uitest::SetItemText(kit, IDC_KIT_FIRST_INT, c.first);
    uitest::SetItemText(kit, IDC_KIT_SECOND_INT, c.second);
    uitest::SetItemText(kit, IDC_KIT_LAST_TEXT, L"never read");
    ::PostMessageW(kit, WM_COMMAND, IDOK, 0);
    box = driver.ExpectMessageBox();
    ASSERT_TRUE(box.has_value());
    failingEdit = ::GetDlgItem(kit, c.failingId);
    uitest::WaitUntil([&] { return driver.FocusOf(kit) == failingEdit; });
    focus = driver.FocusOf(kit);
    selection = uitest::Selection(kit, c.failingId);
    textLength = uitest::ItemText(kit, c.failingId).size();
    stillOpen = ::IsWindowVisible(kit) != 0;
    ::PostMessageW(kit, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(result, IDCANCEL);
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, c.message);
  EXPECT_EQ(box->caption, L"ui_dialogkit_tests");
  EXPECT_EQ(box->icon, static_cast<UINT>(MB_ICONEXCLAMATION));
  EXPECT_TRUE(stillOpen);
  EXPECT_EQ(focus, failingEdit);
  EXPECT_EQ(selection.first, 0u);
  EXPECT_EQ(selection.second, textLength);
  EXPECT_EQ(dialog.name, L"stored");
  EXPECT_EQ(dialog.first, c.firstAfter);
  EXPECT_EQ(dialog.second, c.secondAfter);
  EXPECT_EQ(dialog.lastText, L"last");
}

INSTANTIATE_TEST_SUITE_P(
    Failures, ValidationTest,
    testing::Values(
        FailureCase{L"", L"abc", IDC_KIT_FIRST_INT, L"整数を入力してください。", 440, 880},
        FailureCase{L"abc", L"", IDC_KIT_FIRST_INT, L"整数を入力してください。", 440, 880},
        FailureCase{L"4", L"20001", IDC_KIT_FIRST_INT,
                    L"5 から 20000 までの整数を入力してください。", 4, 880},
        FailureCase{L"20001", L"x", IDC_KIT_FIRST_INT,
                    L"5 から 20000 までの整数を入力してください。", 20001, 880},
        FailureCase{L"100", L"Hz", IDC_KIT_SECOND_INT, L"整数を入力してください。", 100, 880},
        FailureCase{L"100", L"-5", IDC_KIT_SECOND_INT,
                    L"5 から 20000 までの整数を入力してください。", 100, -5}));

TEST(ModalLoopTest, ReturnsTheEndDialogValue) {
  KitDialog dialog;
  const INT_PTR result = uitest::RunModal(dialog, [](const Driver& driver) {
    const HWND kit = WaitForKit(driver);
    ASSERT_NE(kit, nullptr);
    // A message of the dialog's own, answered through DWLP_MSGRESULT.
    EXPECT_EQ(::SendMessageW(kit, WM_APP_ANSWER, 23, 0), 1023);
    ::PostMessageW(kit, WM_APP_MARK, 0, 0);
    ::PostMessageW(kit, WM_APP_MARK, 0, 0);
    ::PostMessageW(kit, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(result, IDCANCEL);
  // Posted messages went through PreTranslateMessage before any dispatch.
  EXPECT_EQ(dialog.marksSeen, 2);
  EXPECT_EQ(dialog.hwnd(), nullptr);
}

TEST(ModalLoopTest, EndDialogDuringInitialisationRunsNoLoop) {
  KitDialog dialog;
  dialog.onInit = [](KitDialog& d) { d.EndDialog(42); };
  // Returns at once: a loop would wait for messages nobody sends.
  EXPECT_EQ(dialog.DoModal(), 42);
}

TEST(ModalLoopTest, DisablesTheOwnerWhileAChildRuns) {
  KitDialog dialog;
  bool enabledAfter = false;
  uitest::RunModal(dialog, [&](const Driver& driver) {
    const HWND kit = WaitForKit(driver);
    ASSERT_NE(kit, nullptr);
    ::PostMessageW(kit, WM_APP_OPEN_CHILD, 0, 0);
    const HWND child = driver.WaitForDialog(L"Kit child");
    ASSERT_NE(child, nullptr);
    EXPECT_FALSE(::IsWindowEnabled(kit));
    EXPECT_EQ(::GetWindow(child, GW_OWNER), kit);
    // The child's loop hands the owner's messages to the owner's
    // PreTranslateMessage as well.
    ::PostMessageW(kit, WM_APP_MARK, 0, 0);
    ::PostMessageW(child, WM_COMMAND, IDOK, 0);
    uitest::WaitUntil([&] { return !::IsWindow(child); });
    enabledAfter = ::IsWindowEnabled(kit) != 0;
    ::PostMessageW(kit, WM_COMMAND, IDCANCEL, 0);
  });
  EXPECT_EQ(dialog.childResult, IDOK);
  EXPECT_TRUE(enabledAfter);
  EXPECT_EQ(dialog.marksSeen, 1);
}

TEST(ModalLoopTest, QuitMessageEndsTheLoopAndIsPostedAgain) {
  KitDialog dialog;
  dialog.onInit = [](KitDialog&) { ::PostQuitMessage(3); };
  EXPECT_EQ(dialog.DoModal(), IDCANCEL);
  MSG msg{};
  ASSERT_TRUE(::PeekMessageW(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
  EXPECT_EQ(msg.wParam, 3u);
}

TEST(FrameworkBoxesTest, AnExceptionInAHandlerBecomesAReport) {
  KitDialog dialog;
  std::optional<uitest::MessageBoxInfo> box;
  bool stillOpen = false;
  uitest::RunModal(dialog, [&](const Driver& driver) {
    const HWND kit = WaitForKit(driver);
    ASSERT_NE(kit, nullptr);
    ::PostMessageW(kit, WM_COMMAND, IDC_KIT_THROW, 0);
    box = driver.ExpectMessageBox();
    stillOpen = ::IsWindow(kit) != 0;
    ::PostMessageW(kit, WM_COMMAND, IDCANCEL, 0);
  });
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, dialogkit::ErrorText(E_UNEXPECTED));
  EXPECT_EQ(box->caption, L"ui_dialogkit_tests");
  EXPECT_EQ(box->icon, static_cast<UINT>(MB_ICONSTOP));
  EXPECT_TRUE(stillOpen);
}

TEST(FrameworkBoxesTest, F1ReportsThatHelpCannotStart) {
  KitDialog dialog;
  std::optional<uitest::MessageBoxInfo> box;
  uitest::RunModal(dialog, [&](const Driver& driver) {
    const HWND kit = WaitForKit(driver);
    ASSERT_NE(kit, nullptr);
    ::PostMessageW(::GetDlgItem(kit, IDC_KIT_NAME), WM_KEYDOWN, VK_F1, 0);
    box = driver.ExpectMessageBox();
  });
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, L"ヘルプの起動に失敗しました。");
  EXPECT_EQ(box->caption, L"ui_dialogkit_tests");
  EXPECT_EQ(box->icon, static_cast<UINT>(MB_ICONEXCLAMATION));
}

TEST(FrameworkBoxesTest, ErrorTextFallsBackForUnknownCodes) {
  EXPECT_EQ(dialogkit::ErrorText(static_cast<HRESULT>(0xA0CDEF12)),
            L"アプリケーションの内部エラーです。");
  const std::wstring invalidArgument = dialogkit::ErrorText(E_INVALIDARG);
  EXPECT_FALSE(invalidArgument.empty());
  EXPECT_NE(invalidArgument.back(), L'\n');
}

}  // namespace
