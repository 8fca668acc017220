// The about dialog: the version line from a version source, the template
// text without one, and the three lines fitted to their text.
#include "ui/about_dialog.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "dialogkit/app.h"
#include "dialogkit/handles.h"
#include "tests/ui/gui_driver.h"
#include "ui/res/resource.h"

namespace {

namespace fs = std::filesystem;
using uitest::Driver;

constexpr wchar_t kAboutCaption[] = L"バージョン情報";
constexpr int kLines[] = {IDC_VERSION_TEXT, IDC_COPYRIGHT_TEXT, IDC_HOLDER_TEXT};

// One text line as the open dialog shows it.
struct Line {
  std::wstring text;
  RECT rect{};    // in the dialog's client coordinates
  SIZE extent{};  // of the text in the control's own font
};

Line ReadLine(HWND dialog, int id) {
  Line line;
  const HWND control = ::GetDlgItem(dialog, id);
  line.text = uitest::ItemText(dialog, id);
  ::GetWindowRect(control, &line.rect);
  ::MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&line.rect), 2);
  const dialogkit::WindowDC dc(control);
  const auto font = reinterpret_cast<HFONT>(::SendMessageW(control, WM_GETFONT, 0, 0));
  const dialogkit::SelectScope selected(dc.dc(), font);
  ::GetTextExtentPoint32W(dc.dc(), line.text.c_str(), static_cast<int>(line.text.size()),
                          &line.extent);
  return line;
}

// A rectangle of the template in pixels of the open dialog.
RECT TemplateRect(HWND dialog, int x, int y, int width, int height) {
  RECT rect{x, y, x + width, y + height};
  ::MapDialogRect(dialog, &rect);
  return rect;
}

struct Shown {
  Line lines[3];
  RECT templateRects[3]{};
  INT_PTR result = 0;
};

// Opens the dialog, reads its three lines while it is open, closes it by OK.
Shown Show(CAboutDlg& dialog) {
  Shown shown;
  shown.result = uitest::RunModal(dialog, [&](const Driver& driver) {
    const HWND about = driver.WaitForDialog(kAboutCaption);
    ASSERT_NE(about, nullptr);
    for (int i = 0; i < 3; ++i) shown.lines[i] = ReadLine(about, kLines[i]);
    shown.templateRects[0] = TemplateRect(about, 40, 10, 140, 8);
    shown.templateRects[1] = TemplateRect(about, 40, 25, 120, 8);
    shown.templateRects[2] = TemplateRect(about, 40, 40, 120, 8);
    uitest::Click(about, IDOK);
    uitest::WaitUntil([&] { return !::IsWindow(about); });
  });
  return shown;
}

LONG Width(const RECT& r) { return r.right - r.left; }
LONG Height(const RECT& r) { return r.bottom - r.top; }

void ExpectFitted(const Shown& shown) {
  for (int i = 0; i < 3; ++i) {
    const Line& line = shown.lines[i];
    SCOPED_TRACE(testing::Message() << "control " << kLines[i]);
    EXPECT_EQ(Width(line.rect), line.extent.cx);
    EXPECT_EQ(Height(line.rect), line.extent.cy);
    EXPECT_EQ(line.rect.left, shown.templateRects[i].left) << "the line must not move";
    EXPECT_EQ(line.rect.top, shown.templateRects[i].top) << "the line must not move";
  }
}

struct VersionCase {
  FileVersion version;
  const wchar_t* line;
};

class VersionLineTest : public ::testing::TestWithParam<VersionCase> {};

TEST_P(VersionLineTest, ShowsTheVersionWithMinorAndBuildSideBySide) {
  const VersionCase& c = GetParam();
  EXPECT_EQ(FormatVersionLine(L"Marvolen Version", c.version), c.line);
  CAboutDlg dialog([&] { return std::optional<FileVersion>(c.version); });
  const Shown shown = Show(dialog);
  EXPECT_EQ(shown.result, IDOK);
  EXPECT_EQ(shown.lines[0].text, c.line);
  ExpectFitted(shown);
}

INSTANTIATE_TEST_SUITE_P(
    Versions, VersionLineTest,
    ::testing::Values(VersionCase{{1, 0, 6, 0}, L"Marvolen Version1.06 (1.0.6.0)"},
                      VersionCase{{1, 2, 13, 4}, L"Marvolen Version1.213 (1.2.13.4)"},
                      VersionCase{{2, 10, 3, 7}, L"Marvolen Version2.103 (2.10.3.7)"},
                      VersionCase{{0, 0, 0, 0}, L"Marvolen Version0.00 (0.0.0.0)"},
                      // Unsigned 16-bit parts, never negative.
                      VersionCase{{65535, 65535, 65535, 65535},
                                  L"Marvolen Version65535.6553565535 "
                                  L"(65535.65535.65535.65535)"}));

TEST(AboutDialogTest, LinesShrinkAndGrowToTheirText) {
  CAboutDlg shortLine([] { return std::optional<FileVersion>(FileVersion{0, 0, 0, 0}); });
  const Shown narrow = Show(shortLine);
  EXPECT_LT(Width(narrow.lines[0].rect), Width(narrow.templateRects[0]));
  CAboutDlg longLine([] {
    return std::optional<FileVersion>(FileVersion{65535, 65535, 65535, 65535});
  });
  const Shown wide = Show(longLine);
  EXPECT_GT(Width(wide.lines[0].rect), Width(wide.templateRects[0])) << "a long line is not cut";
}

TEST(AboutDialogTest, ShowsTheRunningExecutablesOwnVersion) {
  const std::optional<FileVersion> own = ReadFileVersion(dialogkit::ModulePath());
  ASSERT_TRUE(own.has_value());
  EXPECT_EQ(own->major, MARVOLEN_TEST_VERSION_MAJOR);
  EXPECT_EQ(own->minor, MARVOLEN_TEST_VERSION_MINOR);
  EXPECT_EQ(own->build, MARVOLEN_TEST_VERSION_PATCH);
  EXPECT_EQ(own->revision, 0);
  const std::wstring major = std::to_wstring(MARVOLEN_TEST_VERSION_MAJOR);
  const std::wstring minor = std::to_wstring(MARVOLEN_TEST_VERSION_MINOR);
  const std::wstring build = std::to_wstring(MARVOLEN_TEST_VERSION_PATCH);
  CAboutDlg dialog;
  const Shown shown = Show(dialog);
  EXPECT_EQ(shown.lines[0].text, L"Marvolen Version" + major + L"." + minor + build + L" (" +
                                     major + L"." + minor + L"." + build + L".0)");
  ExpectFitted(shown);
}

TEST(AboutDialogTest, WithoutAVersionTheTemplateStaysAsItIs) {
  CAboutDlg dialog([] { return std::optional<FileVersion>(); });
  const Shown shown = Show(dialog);
  EXPECT_EQ(shown.result, IDOK);
  EXPECT_EQ(shown.lines[0].text, L"Marvolen Version X.XX (X.X.X.X)");
  for (int i = 0; i < 3; ++i) {
    SCOPED_TRACE(testing::Message() << "control " << kLines[i]);
    EXPECT_TRUE(::EqualRect(&shown.lines[i].rect, &shown.templateRects[i]));
  }
}

TEST(AboutDialogTest, FilesWithoutAReadableVersionGiveNone) {
  const fs::path dir = fs::temp_directory_path() / L"marvolen-about-test";
  fs::create_directories(dir);
  const fs::path text = dir / L"no-version.txt";
  std::ofstream(text) << "not an executable";
  EXPECT_FALSE(ReadFileVersion(text.wstring()).has_value());
  EXPECT_FALSE(ReadFileVersion((dir / L"missing.exe").wstring()).has_value());
  fs::remove_all(dir);
}

}  // namespace
