// One table of behaviour cases for every store: on Windows the platform's
// private-profile functions run the same cases and are the reference.
#include <gtest/gtest.h>

#include <optional>

#include "tests/settings/settings_test_support.h"

namespace marvolen {
namespace {

using settings_testing::AllStoreKinds;
using settings_testing::DecodeText;
using settings_testing::Lines;
using settings_testing::ReadBytes;
using settings_testing::ScratchDir;
using settings_testing::StoreKind;
using settings_testing::StoreKindName;
using settings_testing::WidePath;
using settings_testing::WriteBytes;

class ProfileStoreBehaviour : public ::testing::TestWithParam<StoreKind> {
 protected:
  // A store on a file holding `content`, or on a missing file.
  std::unique_ptr<ProfileStore> Open(const std::optional<std::string>& content) {
    if (content) WriteBytes(file_, *content);
    return GetParam().open(WidePath(file_));
  }
  std::vector<std::wstring> FileLines() const { return Lines(DecodeText(ReadBytes(file_))); }
  bool FileExists() const { return std::filesystem::exists(file_); }

  ScratchDir dir_;
  std::filesystem::path file_ = dir_ / "store.ini";
};

struct IntReadCase {
  const char* name;
  std::optional<std::string> file;  // nothing: no file
  const wchar_t* section;
  const wchar_t* key;
  int32_t expected;  // read with the fallback 77
};

TEST_P(ProfileStoreBehaviour, ReadsIntegersByTheReadingRules) {
  const IntReadCase cases[] = {
      {"no file", std::nullopt, L"S", L"k", 77},
      {"no section", "[Other]\nk=1\n", L"S", L"k", 77},
      {"no key", "[S]\nj=1\n", L"S", L"k", 77},
      {"plain", "[S]\nk=42\n", L"S", L"k", 42},
      {"minus one", "[S]\nk=-1\n", L"S", L"k", -1},
      {"negative", "[S]\nk=-3\n", L"S", L"k", -3},
      {"zero", "[S]\nk=0\n", L"S", L"k", 0},
      {"digits then text", "[S]\nk= 42abc\n", L"S", L"k", 42},
      {"no number", "[S]\nk=abc\n", L"S", L"k", 0},
      {"minus alone", "[S]\nk=-\n", L"S", L"k", 0},
      {"empty value is the default", "[S]\nk=\n", L"S", L"k", 77},
      {"blanks only are the default", "[S]\nk=   \n", L"S", L"k", 77},
      {"largest", "[S]\nk=2147483647\n", L"S", L"k", 2147483647},
      {"smallest", "[S]\nk=-2147483648\n", L"S", L"k", INT32_MIN},
      {"beyond 32 bits wraps", "[S]\nk=4294967297\n", L"S", L"k", 1},
      {"leading zeros", "[S]\nk=007\n", L"S", L"k", 7},
      {"blanks around the name", "[S]\n  k  =5\n", L"S", L"k", 5},
      {"blanks around the section", "[ S ]\nk=5\n", L"S", L"k", 5},
      {"names ignore case", "[s]\nK=6\n", L"S", L"k", 6},
      {"CRLF lines", "[S]\r\nj=1\r\nk=8\r\n", L"S", L"k", 8},
      {"last line unterminated", "[S]\nk=9", L"S", L"k", 9},
      {"comment is no key", "[S]\n;k=5\n", L"S", L"k", 77},
      {"key before any section", "k=5\n[S]\n", L"S", L"k", 77},
      {"key of another section", "[T]\nk=5\n[S]\nj=1\n", L"S", L"k", 77},
      {"section after another", "[T]\nk=5\n[S]\nk=6\n", L"S", L"k", 6},
      {"first of two keys", "[S]\nk=1\nk=2\n", L"S", L"k", 1},
      {"text after the header", "[S] trailing\nk=3\n", L"S", L"k", 3},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDir dir;
    const auto path = dir / "case.ini";
    if (c.file) WriteBytes(path, *c.file);
    EXPECT_EQ(GetParam().open(WidePath(path))->GetProfileInt(c.section, c.key, 77), c.expected);
  }
}

struct TextReadCase {
  const char* name;
  std::optional<std::string> file;
  std::wstring expected;  // read with the fallback "dflt"
};

TEST_P(ProfileStoreBehaviour, ReadsTextByTheReadingRules) {
  const TextReadCase cases[] = {
      {"no file", std::nullopt, L"dflt"},
      {"no key", "[S]\nj=x\n", L"dflt"},
      {"plain", "[S]\nk=TestSound01.wav\n", L"TestSound01.wav"},
      {"empty value is empty text", "[S]\nk=\n", L""},
      {"blanks around the value", "[S]\nk=  a b  \n", L"a b"},
      {"equals sign in the value", "[S]\nk=a=b\n", L"a=b"},
      {"semicolon in the value", "[S]\nk=a;b\n", L"a;b"},
      {"CRLF line", "[S]\r\nk=C:\\x\\y.wav\r\n", L"C:\\x\\y.wav"},
      {"5000 characters arrive as 4095", "[S]\nk=" + std::string(5000, 'x') + "\n",
       std::wstring(4095, L'x')},
      {"header without ']' is no header", "[S]\n[T\nk=x\n", L"x"},
      {"line without '=' is no key", "[S]\nk\n", L"dflt"},
      {"only the first of two equal sections", "[S]\nj=1\n[S]\nk=x\n", L"dflt"},
      {"UTF-8 byte-order mark", "\xEF\xBB\xBF[S]\nk=x\n", L"x"},
      {"tabs around the value", "[S]\nk=\tx\t\n", L"x"},
      {"4095 characters arrive whole", "[S]\nk=" + std::string(4095, 'y') + "\n",
       std::wstring(4095, L'y')},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDir dir;
    const auto path = dir / "case.ini";
    if (c.file) WriteBytes(path, *c.file);
    EXPECT_EQ(GetParam().open(WidePath(path))->GetProfileString(L"S", L"k", L"dflt"), c.expected);
  }
}

TEST_P(ProfileStoreBehaviour, WriteCreatesAMissingFileWithSectionAndKey) {
  auto store = Open(std::nullopt);
  EXPECT_TRUE(store->WriteProfileInt(L"Setting_Data", L"BitSize", 2));
  EXPECT_EQ(FileLines(), (std::vector<std::wstring>{L"[Setting_Data]", L"BitSize=2"}));
  EXPECT_EQ(store->GetProfileInt(L"Setting_Data", L"BitSize", 1), 2);
}

TEST_P(ProfileStoreBehaviour, WritesIntegersAsSignedDecimal) {
  auto store = Open(std::nullopt);
  const int32_t values[] = {0, -1, 20000, INT32_MAX, INT32_MIN};
  for (int32_t value : values) {
    SCOPED_TRACE(value);
    store->WriteProfileInt(L"S", L"k", value);
    EXPECT_EQ(FileLines().at(1), L"k=" + std::to_wstring(value));
    EXPECT_EQ(store->GetProfileInt(L"S", L"k", 77), value);
  }
}

TEST_P(ProfileStoreBehaviour, WriteChangesOnlyItsKeyAndKeepsTheOtherLines) {
  auto store = Open(
      "; settings\n"
      "[Before]\n"
      "k=before\n"
      "[S]\n"
      "a=1\n"
      "; about k\n"
      "k=old\n"
      "z=3\n"
      "[After]\n"
      "k=after\n");
  EXPECT_TRUE(store->WriteProfileString(L"S", L"k", L"new"));
  EXPECT_EQ(FileLines(),
            (std::vector<std::wstring>{L"; settings", L"[Before]", L"k=before", L"[S]", L"a=1",
                                       L"; about k", L"k=new", L"z=3", L"[After]", L"k=after"}));
  EXPECT_EQ(store->GetProfileString(L"Before", L"k", L""), L"before");
  EXPECT_EQ(store->GetProfileString(L"After", L"k", L""), L"after");
}

TEST_P(ProfileStoreBehaviour, MissingKeyGoesToTheEndOfItsSection) {
  auto store = Open("[S]\na=1\n[T]\nb=2\n");
  EXPECT_TRUE(store->WriteProfileInt(L"S", L"k", 5));
  EXPECT_EQ(FileLines(), (std::vector<std::wstring>{L"[S]", L"a=1", L"k=5", L"[T]", L"b=2"}));
}

TEST_P(ProfileStoreBehaviour, MissingSectionGoesToTheEndOfTheFile) {
  auto store = Open("[T]\nb=2\n");
  EXPECT_TRUE(store->WriteProfileInt(L"S", L"k", 5));
  EXPECT_EQ(FileLines(), (std::vector<std::wstring>{L"[T]", L"b=2", L"[S]", L"k=5"}));
}

TEST_P(ProfileStoreBehaviour, WriteFindsNamesRegardlessOfCase) {
  auto store = Open("[setting_data]\nbitsize=0\n");
  EXPECT_TRUE(store->WriteProfileInt(L"Setting_Data", L"BitSize", 2));
  const auto lines = FileLines();
  ASSERT_EQ(lines.size(), 2u);
  EXPECT_EQ(lines[1].substr(lines[1].find(L'=')), L"=2");
}

TEST_P(ProfileStoreBehaviour, TextRoundTripsUnchanged) {
  const std::wstring values[] = {
      L"TestSound01.wav",
      L"",
      L"C:\\Users\\\u5c71\u7530\\\u6642\u5831.wav",  // Japanese folder and file names
      L"a=b;c[d]",
      std::wstring(4095, L'n'),
  };
  auto store = Open(std::nullopt);
  for (const auto& value : values) {
    SCOPED_TRACE(value.size());
    EXPECT_TRUE(store->WriteProfileString(L"S", L"k", value));
    EXPECT_EQ(store->GetProfileString(L"S", L"k", L"dflt"), value);
  }
}

TEST_P(ProfileStoreBehaviour, AUtf16LeFileStaysUtf16LeWithItsJapaneseText) {
  // "[S]\r\nk=" U+6642 U+5831 "\r\n" in UTF-16LE after its mark.
  std::string bytes = "\xFF\xFE";
  for (char c : std::string("[S]\r\nk=")) bytes.append({c, '\0'});
  bytes.append("\x42\x66\x31\x58\r\0\n\0", 8);
  auto store = Open(bytes);
  EXPECT_EQ(store->GetProfileString(L"S", L"k", L""), L"\u6642\u5831");
  EXPECT_TRUE(store->WriteProfileString(L"S", L"j", L"\u97f3"));
  EXPECT_EQ(ReadBytes(file_).substr(0, 2), "\xFF\xFE");
  EXPECT_EQ(FileLines(), (std::vector<std::wstring>{L"[S]", L"k=\u6642\u5831", L"j=\u97f3"}));
}

TEST_P(ProfileStoreBehaviour, AWriteToAReadOnlyFileFailsAndKeepsIt) {
  const std::string before = "[S]\nk=1\n";
  auto store = Open(before);
  settings_testing::SetReadOnly(file_, true);
  if (GetParam().isPlatform && !settings_testing::PlatformRefusesWritingReadOnlyFiles(file_)) {
    settings_testing::SetReadOnly(file_, false);
    GTEST_SKIP() << "this platform lets the read-only file be written (Wine as root)";
  }
  EXPECT_FALSE(store->WriteProfileInt(L"S", L"k", 2));
  EXPECT_EQ(store->GetProfileInt(L"S", L"k", 77), 1);
  settings_testing::SetReadOnly(file_, false);
  EXPECT_EQ(ReadBytes(file_), before);
}

TEST_P(ProfileStoreBehaviour, ReadsCreateNoFile) {
  auto store = Open(std::nullopt);
  store->GetProfileInt(L"S", L"k", 1);
  store->GetProfileString(L"S", L"k", L"x");
  EXPECT_FALSE(FileExists());
}

// Things the settings leave open, where the portable store chose otherwise
// than the platform's functions. Each case names the difference.
struct DifferenceCase {
  const char* name;
  std::string file;
  int32_t portable;  // GetProfileInt with the fallback 77
  int32_t platform;
};

TEST_P(ProfileStoreBehaviour, DiffersFromThePlatformOnIntegerFormsTheSettingsNeverWrite) {
  const DifferenceCase cases[] = {
      {"hexadecimal: the platform reads 0x10 as 16, ours as 0", "[S]\nk=0x10\n", 0, 16},
      {"plus sign: the platform reads +5 as 5, ours as 0", "[S]\nk=+5\n", 0, 5},
      {"quoted number", "[S]\nk=\"12\"\n", 0, 12},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDir dir;
    WriteBytes(dir / "case.ini", c.file);
    EXPECT_EQ(GetParam().open(WidePath(dir / "case.ini"))->GetProfileInt(L"S", L"k", 77),
              GetParam().isPlatform ? c.platform : c.portable);
  }
}

struct TextDifferenceCase {
  const char* name;
  std::string file;
  std::wstring portable;  // GetProfileString with the fallback "dflt"
  std::wstring platform;
};

TEST_P(ProfileStoreBehaviour, DiffersFromThePlatformOnQuotes) {
  const TextDifferenceCase cases[] = {
      {"quotes: the platform strips a matching pair, ours keeps them", "[S]\nk=\"a b\"\n",
       L"\"a b\"", L"a b"},
      {"single quotes", "[S]\nk='a'\n", L"'a'", L"a"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ScratchDir dir;
    WriteBytes(dir / "case.ini", c.file);
    EXPECT_EQ(GetParam().open(WidePath(dir / "case.ini"))->GetProfileString(L"S", L"k", L"dflt"),
              GetParam().isPlatform ? c.platform : c.portable);
  }
}

INSTANTIATE_TEST_SUITE_P(Stores, ProfileStoreBehaviour, ::testing::ValuesIn(AllStoreKinds()),
                         StoreKindName());

}  // namespace
}  // namespace marvolen
