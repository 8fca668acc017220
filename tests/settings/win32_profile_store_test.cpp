// What the Windows store adds to the platform's profile functions.
#include "settings/win32_profile_store.h"

#include <gtest/gtest.h>

#include "settings/settings_file.h"
#include "tests/settings/settings_test_support.h"

namespace marvolen {
namespace {

using settings_testing::DecodeText;
using settings_testing::Lines;
using settings_testing::ReadBytes;
using settings_testing::ScratchDir;
using settings_testing::WriteBytes;

TEST(Win32ProfileStore, ANewFileIsUtf16SoJapaneseFileNamesSurvive) {
  ScratchDir dir;
  const auto path = dir / "Marvolen.INI";
  Win32ProfileStore store(path.wstring());
  SignalSettings s;
  s.SaveFileName = L"C:\\\u30c7\u30fc\u30bf\\\u6642\u5831.wav";
  SaveSettings(store, 3, s);

  const std::string bytes = ReadBytes(path);
  ASSERT_GE(bytes.size(), 2u);
  EXPECT_EQ(bytes.substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(Lines(DecodeText(bytes)).at(2), L"SaveFileName=" + s.SaveFileName);
  SignalSettings loaded;
  EXPECT_EQ(LoadSettings(store, loaded), 3);
  EXPECT_EQ(loaded.SaveFileName, s.SaveFileName);
}

TEST(Win32ProfileStore, AnExistingFileKeepsItsEncoding) {
  ScratchDir dir;
  const auto path = dir / "old.INI";
  WriteBytes(path, "[Setting_Data]\r\nBitSize=0\r\n");
  Win32ProfileStore store(path.wstring());
  EXPECT_TRUE(store.WriteProfileInt(L"Setting_Data", L"BitSize", 2));
  EXPECT_EQ(ReadBytes(path).substr(0, 14), "[Setting_Data]");
  EXPECT_EQ(store.GetProfileInt(L"Setting_Data", L"BitSize", 1), 2);
}

TEST(Win32ProfileStore, EmptyPathReadsDefaultsAndRefusesWrites) {
  Win32ProfileStore store(L"");
  EXPECT_EQ(store.GetProfileInt(L"Setting_Data", L"BitSize", 1), 1);
  EXPECT_EQ(store.GetProfileString(L"Setting_Data", L"SaveFileName", L"d"), L"d");
  EXPECT_FALSE(store.WriteProfileInt(L"Setting_Data", L"BitSize", 2));
}

TEST(Win32ProfileStore, CreateUnicodeProfileFileLeavesAnExistingFileAlone) {
  ScratchDir dir;
  const auto path = dir / "x.INI";
  EXPECT_TRUE(CreateUnicodeProfileFile(path.wstring()));
  EXPECT_EQ(ReadBytes(path), "\xFF\xFE");
  WriteBytes(path, "[S]\r\n");
  EXPECT_TRUE(CreateUnicodeProfileFile(path.wstring()));
  EXPECT_EQ(ReadBytes(path), "[S]\r\n");
  EXPECT_FALSE(CreateUnicodeProfileFile((dir / "missing" / "x.INI").wstring()));
}

}  // namespace
}  // namespace marvolen
