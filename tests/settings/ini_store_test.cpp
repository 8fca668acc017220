// The portable store's text rules, byte for byte.
#include "settings/ini_store.h"

#include <gtest/gtest.h>

#include <optional>

namespace marvolen {
namespace {

struct WriteCase {
  const char* name;
  std::string before;
  std::wstring key;
  std::wstring value;
  std::optional<std::string> after;  // nothing: the write is refused
};

TEST(SetIniValue, ChangesOnlyWhatTheWriteNeeds) {
  const WriteCase cases[] = {
      {"new file", "", L"k", L"v", "[S]\r\nk=v\r\n"},
      {"value in place", "[S]\nk=old\n", L"k", L"v", "[S]\nk=v\n"},
      {"CRLF kept", "[S]\r\nk=old\r\n", L"k", L"v", "[S]\r\nk=v\r\n"},
      {"name and blanks kept", "[S]\n  K = old  \n", L"k", L"v", "[S]\n  K = v\n"},
      {"empty value", "[S]\nk=old\n", L"k", L"", "[S]\nk=\n"},
      {"value with its own leading blank", "[S]\nk = old\n", L"k", L" v", "[S]\nk = v\n"},
      {"first of two keys", "[S]\nk=1\nk=2\n", L"k", L"v", "[S]\nk=v\nk=2\n"},
      {"key appended to its section", "[S]\na=1\n\n[T]\nk=2\n", L"k", L"v",
       "[S]\na=1\nk=v\n\n[T]\nk=2\n"},
      {"key before trailing comments", "[S]\na=1\n; next\n\n[T]\n", L"k", L"v",
       "[S]\na=1\nk=v\n; next\n\n[T]\n"},
      {"key after a bare header", "[S]\n[T]\n", L"k", L"v", "[S]\nk=v\n[T]\n"},
      {"unterminated last line", "[S]\na=1", L"k", L"v", "[S]\na=1\nk=v\n"},
      {"unterminated only line", "[S]", L"k", L"v", "[S]\r\nk=v\r\n"},
      {"section appended", "[T]\nb=2\n", L"k", L"v", "[T]\nb=2\n[S]\nk=v\n"},
      {"section after an unterminated line", "[T]\r\nb=2", L"k", L"v",
       "[T]\r\nb=2\r\n[S]\r\nk=v\r\n"},
      {"mixed endings kept", "[S]\r\na=1\nb=2\r\n", L"k", L"v", "[S]\r\na=1\nb=2\r\nk=v\r\n"},
      {"byte-order mark kept", "\xEF\xBB\xBF[S]\nk=1\n", L"k", L"v", "\xEF\xBB\xBF[S]\nk=v\n"},
      {"only a byte-order mark", "\xEF\xBB\xBF", L"k", L"v", "\xEF\xBB\xBF[S]\r\nk=v\r\n"},
      {"other lines untouched", "; c\n\n[T]\na\rb=1\n\tjunk\n[S]\n;k=0\nk=1\n", L"k", L"v",
       "; c\n\n[T]\na\rb=1\n\tjunk\n[S]\n;k=0\nk=v\n"},
      {"Japanese value", "[S]\nk=a\n", L"k", L"\u6642\u5831.wav",
       "[S]\nk=\xE6\x99\x82\xE5\xA0\xB1.wav\n"},
      {"key with '='", "", L"a=b", L"v", std::nullopt},
      {"key with a line break", "", L"a\nb", L"v", std::nullopt},
      {"key starting a comment", "", L";k", L"v", std::nullopt},
      {"key starting a header", "", L"[k", L"v", std::nullopt},
      {"key with blanks around", "", L" k", L"v", std::nullopt},
      {"empty key", "", L"", L"v", std::nullopt},
      {"value with LF", "[S]\nk=1\n", L"k", L"a\nb", std::nullopt},
      {"value with CR", "[S]\nk=1\n", L"k", L"a\rb", std::nullopt},
      {"value with NUL", "[S]\nk=1\n", L"k", std::wstring(L"a\0b", 3), std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(SetIniValue(c.before, L"S", c.key, c.value), c.after);
  }
}

TEST(SetIniValue, RefusesSectionNamesThatCannotBeAHeader) {
  const std::wstring sections[] = {L"", L"a]b", L"a\nb", L" S"};
  for (const auto& section : sections) {
    EXPECT_EQ(SetIniValue("", section, L"k", L"v"), std::nullopt);
  }
}

struct ReadCase {
  const char* name;
  std::string file;
  std::optional<std::wstring> expected;
};

TEST(FindIniValue, ReadsByTheTextRules) {
  const ReadCase cases[] = {
      {"byte-order mark skipped", "\xEF\xBB\xBF[S]\nk=1\n", L"1"},
      {"UTF-8 value", "[S]\nk=\xE6\x99\x82\xE5\xA0\xB1\n", L"\u6642\u5831"},
      {"invalid UTF-8 is a replacement character", "[S]\nk=a\xFF\n", L"a\uFFFD"},
      {"quotes are part of the value", "[S]\nk=\"a b\"\n", L"\"a b\""},
      {"header without ']' is no header", "[S]\n[T\nk=1\n", L"1"},
      {"line without '=' is no key", "[S]\nk\n", std::nullopt},
      {"CR before the end of the file", "[S]\nk=1\r", L"1"},
      {"NUL in another line", std::string("[S]\na\0=1\nk=2\n", 14), L"2"},
      {"non-ASCII names match exactly", "[\xC3\xA9]\nk=1\n", std::nullopt},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(FindIniValue(c.file, L"S", L"k"), c.expected);
  }
  EXPECT_EQ(FindIniValue("[\xC3\xA9]\nk=1\n", L"\u00e9", L"k"), L"1");
}

TEST(ParseProfileInt, ReadsSignedDecimalAndWrapsLikeThe32BitConversion) {
  const std::pair<std::wstring, int32_t> cases[] = {
      {L"440", 440},
      {L"  -12x", -12},
      {L"abc", 0},
      {L"0x10", 0},
      {L"+5", 0},
      {L"--1", 0},
      {L"4294967297", 1},
      {L"2147483648", INT32_MIN},
      {L"-2147483649", INT32_MAX},
      {L"\uff11", 0},  // a full-width digit is no digit
  };
  for (const auto& [text, expected] : cases) {
    SCOPED_TRACE(::testing::PrintToString(text));
    EXPECT_EQ(ParseProfileInt(text), expected);
  }
}

// UTF-16LE bytes of ASCII text (the tests' INI text), after the mark.
std::string Utf16Le(std::string_view ascii) {
  std::string bytes = "\xFF\xFE";
  for (char c : ascii) bytes.append({c, '\0'});
  return bytes;
}

TEST(DecodeIniFile, TakesUtf8AsItIsAndConvertsUtf16LeLosslessly) {
  const auto utf8 = DecodeIniFile("\xEF\xBB\xBF[S]\n");
  ASSERT_TRUE(utf8);
  EXPECT_EQ(utf8->utf8, "\xEF\xBB\xBF[S]\n");
  EXPECT_EQ(utf8->encoding, IniEncoding::Utf8);

  // "[S]\nk=" U+6642 U+1F600 (a surrogate pair) "\n"
  const std::string bytes = Utf16Le("[S]\nk=") + std::string("\x42\x66\x3D\xD8\x00\xDE\x0A\x00", 8);
  const auto utf16 = DecodeIniFile(bytes.substr(0));
  ASSERT_TRUE(utf16);
  EXPECT_EQ(utf16->encoding, IniEncoding::Utf16Le);
  EXPECT_EQ(utf16->utf8, "[S]\nk=\xE6\x99\x82\xF0\x9F\x98\x80\n");
  EXPECT_EQ(EncodeIniFile(utf16->utf8, IniEncoding::Utf16Le), bytes);
  EXPECT_EQ(EncodeIniFile("", IniEncoding::Utf16Le), "\xFF\xFE");
}

TEST(DecodeIniFile, RefusesTextItCouldNotWriteBackUnchanged) {
  const std::string cases[] = {
      Utf16Le("[S]") + "x",                                 // odd length
      Utf16Le("[S]") + std::string("\x00\xDC", 2),          // low half alone
      Utf16Le("[S]") + std::string("\x00\xD8", 2),          // high half at the end
      Utf16Le("[S]") + std::string("\x00\xD8\x41\x00", 4),  // high half before a letter
      std::string("\xFE\xFF\x00[", 4),                      // UTF-16BE
  };
  for (const auto& bytes : cases) EXPECT_FALSE(DecodeIniFile(bytes)) << bytes.size();
}

TEST(MemoryIniStore, AUtf16LeFileIsWrittenBackInUtf16Le) {
  MemoryIniStore store(Utf16Le("; c\r\n[S]\r\nk=1\r\n\r\n[T]\r\n"));
  EXPECT_TRUE(store.WriteProfileInt(L"S", L"k", 2));
  EXPECT_TRUE(store.WriteProfileInt(L"S", L"n", 3));
  EXPECT_EQ(store.bytes(), Utf16Le("; c\r\n[S]\r\nk=2\r\nn=3\r\n\r\n[T]\r\n"));
}

TEST(MemoryIniStore, AFileItCannotWriteBackReadsAsAbsentAndIsKept) {
  const std::string odd = Utf16Le("[S]\r\nk=1\r\n") + "x";
  MemoryIniStore store(odd);
  EXPECT_EQ(store.GetProfileInt(L"S", L"k", 7), 7);
  EXPECT_FALSE(store.WriteProfileInt(L"S", L"k", 2));
  EXPECT_EQ(store.bytes(), odd);
}

TEST(MemoryIniStore, SavedTextComparesEqualToTheInputAfterARoundTrip) {
  const std::string original =
      "; hand-written\r\n"
      "[Setting_Data]\r\n"
      "ComboFreqListCurSel = 3\r\n"
      "\r\n"
      "SaveFileName=out.wav\r\n"
      "[Other]\r\n"
      "x=1\r\n";
  MemoryIniStore store(original);
  const std::wstring name = store.GetProfileString(L"Setting_Data", L"SaveFileName", L"");
  const int32_t index = store.GetProfileInt(L"Setting_Data", L"ComboFreqListCurSel", 0);
  EXPECT_TRUE(store.WriteProfileString(L"Setting_Data", L"SaveFileName", name));
  EXPECT_TRUE(store.WriteProfileInt(L"Setting_Data", L"ComboFreqListCurSel", index));
  EXPECT_EQ(store.bytes(), original);
}

}  // namespace
}  // namespace marvolen
