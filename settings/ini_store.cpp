#include "settings/ini_store.h"

#include <vector>

#include "common/text.h"
#include "settings/file_replace.h"

namespace marvolen {
namespace {

constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";
constexpr std::string_view kNewFileLineEnding = "\r\n";

// CR counts as a blank so that a CR without its LF never ends up in a value.
bool IsBlank(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view TrimLeft(std::string_view s) {
  while (!s.empty() && IsBlank(s.front())) s.remove_prefix(1);
  return s;
}

std::string_view TrimBlanks(std::string_view s) {
  s = TrimLeft(s);
  while (!s.empty() && IsBlank(s.back())) s.remove_suffix(1);
  return s;
}

char AsciiLower(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }

bool NamesMatch(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (AsciiLower(a[i]) != AsciiLower(b[i])) return false;
  }
  return true;
}

struct Line {
  size_t begin;    // first byte of the line
  size_t textEnd;  // end of its text, where the line ending starts
  size_t end;      // past the line ending
  bool Terminated() const { return end > textEnd; }
};

std::vector<Line> SplitLines(std::string_view file, size_t start) {
  std::vector<Line> lines;
  size_t pos = start;
  while (pos < file.size()) {
    const size_t lf = file.find('\n', pos);
    if (lf == std::string_view::npos) {
      lines.push_back({pos, file.size(), file.size()});
      break;
    }
    const size_t textEnd = lf > pos && file[lf - 1] == '\r' ? lf - 1 : lf;
    lines.push_back({pos, textEnd, lf + 1});
    pos = lf + 1;
  }
  return lines;
}

std::optional<std::string_view> SectionNameOf(std::string_view text) {
  text = TrimLeft(text);
  if (text.empty() || text.front() != '[') return std::nullopt;
  const size_t close = text.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return TrimBlanks(text.substr(1, close - 1));
}

struct KeyLine {
  std::string_view name;
  size_t equalsEnd = 0;    // just past the '=' in the line's text
  size_t valueOffset = 0;  // where the value starts in the line's text
  std::string_view value;
};

std::optional<KeyLine> KeyLineOf(std::string_view text) {
  const std::string_view left = TrimLeft(text);
  if (left.empty() || left.front() == ';' || left.front() == '[') return std::nullopt;
  const size_t eq = text.find('=');
  if (eq == std::string_view::npos) return std::nullopt;
  KeyLine key;
  key.name = TrimBlanks(text.substr(0, eq));
  if (key.name.empty()) return std::nullopt;
  key.equalsEnd = eq + 1;
  key.valueOffset = eq + 1;
  while (key.valueOffset < text.size() && IsBlank(text[key.valueOffset])) ++key.valueOffset;
  key.value = TrimBlanks(text.substr(key.valueOffset));
  return key;
}

bool IsContentLine(std::string_view text) {
  const std::string_view trimmed = TrimBlanks(text);
  return !trimmed.empty() && trimmed.front() != ';';
}

// Where section/key stands in the file: the first matching section and the
// first matching key in it.
struct Location {
  std::optional<size_t> sectionLine;
  size_t lastContentLine = 0;  // the section's last line that is not blank or a comment
  std::optional<size_t> keyLine;
  KeyLine key;
};

Location Locate(std::string_view file, const std::vector<Line>& lines, std::string_view section,
                std::string_view key) {
  Location where;
  for (size_t i = 0; i < lines.size(); ++i) {
    const std::string_view text = file.substr(lines[i].begin, lines[i].textEnd - lines[i].begin);
    if (const auto name = SectionNameOf(text)) {
      if (where.sectionLine) break;
      if (NamesMatch(*name, section)) {
        where.sectionLine = i;
        where.lastContentLine = i;
      }
      continue;
    }
    if (!where.sectionLine || !IsContentLine(text)) continue;
    where.lastContentLine = i;
    if (where.keyLine) continue;
    if (const auto found = KeyLineOf(text); found && NamesMatch(found->name, key)) {
      where.keyLine = i;
      where.key = *found;
    }
  }
  return where;
}

size_t BomLength(std::string_view file) {
  return file.substr(0, kUtf8Bom.size()) == kUtf8Bom ? kUtf8Bom.size() : 0;
}

bool HasAny(std::wstring_view text, std::wstring_view chars) {
  return text.find_first_of(chars) != std::wstring_view::npos;
}

bool IsBlankWide(wchar_t c) { return c == L' ' || c == L'\t'; }

bool IsStorableName(std::wstring_view name) {
  return !name.empty() && !HasAny(name, std::wstring_view(L"\r\n\0", 3)) &&
         !IsBlankWide(name.front()) && !IsBlankWide(name.back());
}

bool IsStorableSection(std::wstring_view section) {
  return IsStorableName(section) && !HasAny(section, L"]");
}

bool IsStorableKey(std::wstring_view key) {
  return IsStorableName(key) && !HasAny(key, L"=") && key.front() != L'[' && key.front() != L';';
}

bool IsStorableValue(std::wstring_view value) {
  return !HasAny(value, std::wstring_view(L"\r\n\0", 3));
}

}  // namespace

std::optional<std::wstring> FindIniValue(std::string_view file, std::wstring_view section,
                                         std::wstring_view key) {
  const std::vector<Line> lines = SplitLines(file, BomLength(file));
  const Location where = Locate(file, lines, WideToUtf8(section), WideToUtf8(key));
  if (!where.keyLine) return std::nullopt;
  return Utf8ToWide(where.key.value);
}

int32_t ParseProfileInt(std::wstring_view text) {
  size_t i = 0;
  while (i < text.size() && IsBlankWide(text[i])) ++i;
  const bool negative = i < text.size() && text[i] == L'-';
  if (negative) ++i;
  uint32_t value = 0;  // unsigned, so that overflow wraps instead of being undefined
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    value = value * 10u + static_cast<uint32_t>(text[i] - L'0');
  }
  if (negative) value = 0u - value;
  return static_cast<int32_t>(value);
}

std::optional<std::string> SetIniValue(std::string_view file, std::wstring_view section,
                                       std::wstring_view key, std::wstring_view value) {
  if (!IsStorableSection(section) || !IsStorableKey(key) || !IsStorableValue(value)) {
    return std::nullopt;
  }
  const std::string section8 = WideToUtf8(section);
  const std::string key8 = WideToUtf8(key);
  const std::string value8 = WideToUtf8(value);

  const std::vector<Line> lines = SplitLines(file, BomLength(file));
  std::string_view ending = kNewFileLineEnding;
  if (!lines.empty() && lines.front().Terminated()) {
    ending = file.substr(lines.front().textEnd, lines.front().end - lines.front().textEnd);
  }
  const Location where = Locate(file, lines, section8, key8);

  std::string out;
  out.reserve(file.size() + section8.size() + key8.size() + value8.size() + 8);
  if (where.keyLine) {
    const Line& line = lines[*where.keyLine];
    // The blanks after '=' stay unless the value brings its own: a value
    // written twice must give the same line twice.
    const bool valueHasBlank = !value8.empty() && IsBlank(value8.front());
    out.append(
        file.substr(0, line.begin + (valueHasBlank ? where.key.equalsEnd : where.key.valueOffset)));
    out.append(value8);
    out.append(file.substr(line.textEnd));
    return out;
  }
  const std::string keyLine = key8 + "=" + value8;
  if (where.sectionLine) {
    const Line& after = lines[where.lastContentLine];
    out.append(file.substr(0, after.end));
    if (!after.Terminated()) out.append(ending);
    out.append(keyLine);
    out.append(ending);
    out.append(file.substr(after.end));
    return out;
  }
  out.append(file);
  if (!lines.empty() && !lines.back().Terminated()) out.append(ending);
  out.append("[").append(section8).append("]").append(ending);
  out.append(keyLine).append(ending);
  return out;
}

std::optional<IniText> DecodeIniFile(std::string_view bytes) {
  if (bytes.substr(0, 2) == "\xFE\xFF") return std::nullopt;  // UTF-16BE
  if (bytes.substr(0, 2) != "\xFF\xFE") return IniText{std::string(bytes), IniEncoding::Utf8};
  bytes.remove_prefix(2);
  if (bytes.size() % 2 != 0) return std::nullopt;
  std::wstring wide;
  wide.reserve(bytes.size() / 2);
  const auto unitAt = [&](size_t i) {
    return static_cast<char32_t>(static_cast<uint8_t>(bytes[2 * i]) |
                                 (static_cast<uint8_t>(bytes[2 * i + 1]) << 8));
  };
  const size_t units = bytes.size() / 2;
  for (size_t i = 0; i < units; ++i) {
    const char32_t unit = unitAt(i);
    if (unit >= 0xDC00 && unit <= 0xDFFF) return std::nullopt;  // a low half alone
    if (unit < 0xD800 || unit > 0xDBFF) {
      wide += static_cast<wchar_t>(unit);
      continue;
    }
    if (i + 1 == units) return std::nullopt;
    const char32_t low = unitAt(++i);
    if (low < 0xDC00 || low > 0xDFFF) return std::nullopt;
    if constexpr (sizeof(wchar_t) == 2) {
      wide += static_cast<wchar_t>(unit);
      wide += static_cast<wchar_t>(low);
    } else {
      wide += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
    }
  }
  return IniText{WideToUtf8(wide), IniEncoding::Utf16Le};
}

std::string EncodeIniFile(std::string_view utf8, IniEncoding encoding) {
  if (encoding == IniEncoding::Utf8) return std::string(utf8);
  std::string bytes = "\xFF\xFE";
  const auto put = [&](char32_t unit) {
    bytes += static_cast<char>(unit & 0xFF);
    bytes += static_cast<char>(unit >> 8);
  };
  for (const wchar_t c : Utf8ToWide(utf8)) {
    const auto code = static_cast<char32_t>(c);
    if (code >= 0x10000 && code <= 0x10FFFF) {
      put(0xD800 + ((code - 0x10000) >> 10));
      put(0xDC00 + ((code - 0x10000) & 0x3FF));
    } else {
      put(code & 0xFFFF);
    }
  }
  return bytes;
}

IniStoreBase::LoadResult IniStoreBase::LoadText(IniText& text) {
  text = IniText{};
  std::string bytes;
  const LoadResult result = Load(bytes);
  if (result != LoadResult::Loaded) return result;
  auto decoded = DecodeIniFile(bytes);
  if (!decoded) return LoadResult::Failed;
  text = std::move(*decoded);
  return LoadResult::Loaded;
}

int32_t IniStoreBase::GetProfileInt(const std::wstring& section, const std::wstring& key,
                                    int32_t fallback) {
  IniText text;
  if (LoadText(text) != LoadResult::Loaded) return fallback;
  const auto value = FindIniValue(text.utf8, section, key);
  if (!value || value->empty()) return fallback;
  return ParseProfileInt(*value);
}

std::wstring IniStoreBase::GetProfileString(const std::wstring& section, const std::wstring& key,
                                            const std::wstring& fallback) {
  IniText text;
  std::optional<std::wstring> value;
  if (LoadText(text) == LoadResult::Loaded) value = FindIniValue(text.utf8, section, key);
  std::wstring result = value ? std::move(*value) : fallback;
  if (result.size() > kMaxProfileStringLength) result.resize(kMaxProfileStringLength);
  return result;
}

bool IniStoreBase::WriteProfileInt(const std::wstring& section, const std::wstring& key,
                                   int32_t value) {
  return WriteProfileString(section, key, std::to_wstring(value));
}

bool IniStoreBase::WriteProfileString(const std::wstring& section, const std::wstring& key,
                                      const std::wstring& value) {
  IniText text;
  // A file that exists but cannot be read, or not written back as it was, is
  // never overwritten.
  if (LoadText(text) == LoadResult::Failed) return false;
  const auto updated = SetIniValue(text.utf8, section, key, value);
  return updated && Store(EncodeIniFile(*updated, text.encoding));
}

IniStoreBase::LoadResult MemoryIniStore::Load(std::string& bytes) {
  bytes = bytes_;
  return exists_ ? LoadResult::Loaded : LoadResult::Absent;
}

bool MemoryIniStore::Store(const std::string& bytes) {
  bytes_ = bytes;
  exists_ = true;
  return true;
}

IniStoreBase::LoadResult IniFileStore::Load(std::string& bytes) {
  if (path_.empty()) return LoadResult::Absent;
  switch (ReadWholeFile(path_, bytes)) {
    case FileReadStatus::Read:
      return LoadResult::Loaded;
    case FileReadStatus::Absent:
      return LoadResult::Absent;
    default:
      return LoadResult::Failed;
  }
}

bool IniFileStore::Store(const std::string& bytes) {
  return !path_.empty() && ReplaceWholeFile(path_, bytes);
}

}  // namespace marvolen
