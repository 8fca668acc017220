#include <gtest/gtest.h>

#include <filesystem>

#include "settings/executable_path.h"
#include "settings/settings_file.h"
#include "tests/settings/settings_test_support.h"

namespace marvolen {
namespace {

struct PathCase {
  const char* name;
  std::wstring executable;
  std::wstring expected;
};

TEST(BuildSettingsPath, ReplacesTheExtensionBesideTheExecutable) {
  const PathCase cases[] = {
      {"drive and folder", L"D:\\Tools\\Marvolen.exe", L"D:\\Tools\\Marvolen.INI"},
      {"lower-case extension is replaced", L"C:\\a\\tool.EXE", L"C:\\a\\tool.INI"},
      {"no extension", L"C:\\a.b\\tool", L"C:\\a.b\\tool.INI"},
      {"dots in folders only", L"C:\\x.y\\z.w\\tool", L"C:\\x.y\\z.w\\tool.INI"},
      {"several dots", L"C:\\a\\my.tool.v2.exe", L"C:\\a\\my.tool.v2.INI"},
      {"trailing dot", L"C:\\a\\tool.", L"C:\\a\\tool.INI"},
      {"only an extension", L"C:\\a\\.exe", L"C:\\a\\.INI"},
      {"slashes", L"C:/a/b/tool.exe", L"C:/a/b/tool.INI"},
      {"mixed separators", L"C:\\a/b\\tool.exe", L"C:\\a/b\\tool.INI"},
      {"dot in a folder after a slash", L"C:\\a/b.c/tool", L"C:\\a/b.c/tool.INI"},
      {"drive root", L"C:\\tool.exe", L"C:\\tool.INI"},
      {"drive without folder", L"C:tool.exe", L"C:tool.INI"},
      {"network share", L"\\\\server\\share\\tool.exe", L"\\\\server\\share\\tool.INI"},
      {"POSIX path", L"/usr/local/bin/marvolen", L"/usr/local/bin/marvolen.INI"},
      {"bare name", L"tool.exe", L"tool.INI"},
      {"Japanese names", L"C:\\\u30c4\u30fc\u30eb\\\u6642\u5831.exe",
       L"C:\\\u30c4\u30fc\u30eb\\\u6642\u5831.INI"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(BuildSettingsPath(c.executable), c.expected);
  }
}

// "C:\" + folder + "\" + name: 4 + folder + name characters.
std::wstring InFolder(size_t folderLength, const std::wstring& name) {
  return L"C:\\" + std::wstring(folderLength, L'd') + L"\\" + name;
}

// Any file name plus ".INI" takes at least 5 characters, so a path within
// MAX_PATH always has a directory part within 255; both are checked.
TEST(BuildSettingsPath, LengthLimitsGiveNoPathRatherThanAShortenedOne) {
  const PathCase cases[] = {
      {"settings path of 259", InFolder(250, L"a.exe"), InFolder(250, L"a.INI")},
      {"settings path of 260 from a shorter executable", InFolder(251, L"a"), L""},
      {"executable of 259", InFolder(2, std::wstring(249, L'n') + L".exe"),
       InFolder(2, std::wstring(249, L'n') + L".INI")},
      {"executable of 260", InFolder(2, std::wstring(250, L'n') + L".exe"), L""},
      {"directory part of 256 without drive", L"\\" + std::wstring(254, L'd') + L"\\a", L""},
      {"far past the limits", InFolder(40000, L"a.exe"), L""},
      {"empty", L"", L""},
      {"no file name", L"C:\\a\\", L""},
      {"drive only", L"C:", L""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(BuildSettingsPath(c.executable), c.expected);
  }
}

TEST(ExecutablePath, NamesThisTestProgramWhateverTheWorkingFolder) {
  const std::wstring path = ExecutablePath();
  const std::filesystem::path native = settings_testing::NativePath(path);
  EXPECT_TRUE(native.is_absolute());
  EXPECT_EQ(native.stem().string(), "settings_tests");
  EXPECT_TRUE(std::filesystem::is_regular_file(native));
  const std::wstring settings = BuildSettingsPath(path);
  EXPECT_EQ(settings_testing::NativePath(settings).parent_path(), native.parent_path());
}

}  // namespace
}  // namespace marvolen
