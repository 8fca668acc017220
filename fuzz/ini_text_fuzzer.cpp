// Arbitrary bytes as an INI file for the portable store's reader and writer.
// Checks what must hold for any file: reading never fails, a write reads
// back as written, and a write leaves other keys as they read before.
// Input with a NUL byte also names what to write: after the last NUL come
// section, key and value, separated by \x01.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "common/text.h"
#include "settings/ini_store.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

std::wstring TrimBlanks(std::wstring text) {
  const auto blank = [](wchar_t c) { return c == L' ' || c == L'\t'; };
  while (!text.empty() && blank(text.back())) text.pop_back();
  size_t start = 0;
  while (start < text.size() && blank(text[start])) ++start;
  return text.substr(start);
}

// A write of any names and value: refused, or read back as written.
void CheckNamedWrite(const std::string& file, std::string_view names) {
  using namespace marvolen;
  const size_t first = names.find('\x01');
  const size_t second = first == std::string_view::npos ? first : names.find('\x01', first + 1);
  if (second == std::string_view::npos) return;
  const std::wstring section = Utf8ToWide(names.substr(0, first));
  const std::wstring key = Utf8ToWide(names.substr(first + 1, second - first - 1));
  const std::wstring value = Utf8ToWide(names.substr(second + 1));
  const auto updated = SetIniValue(file, section, key, value);
  if (!updated) return;
  Require(FindIniValue(*updated, section, key) == TrimBlanks(value));
  Require(SetIniValue(*updated, section, key, value) == updated);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace marvolen;
  std::string file(reinterpret_cast<const char*>(data), size);
  if (const size_t nul = file.rfind('\0'); nul != std::string::npos) {
    CheckNamedWrite(file.substr(0, nul), std::string_view(file).substr(nul + 1));
    file.resize(nul);
  }

  const std::wstring section = L"Setting_Data";
  const std::wstring keys[] = {L"k", L"SaveFileName", L"BitSize", L"\u6642\u5831"};
  for (const auto& key : keys) {
    if (const auto value = FindIniValue(file, section, key)) ParseProfileInt(*value);
  }

  // A file the store would write to converts back to its very bytes.
  if (const auto text = DecodeIniFile(file)) {
    Require(EncodeIniFile(text->utf8, text->encoding) == file);
  }

  MemoryIniStore store(file);
  const std::wstring text = store.GetProfileString(section, L"SaveFileName", L"d");
  Require(text.size() <= kMaxProfileStringLength);
  store.GetProfileInt(L"S", L"k", 0);

  const auto otherBefore = FindIniValue(file, L"Other", L"k");
  const auto siblingBefore = FindIniValue(file, section, L"j");
  const std::wstring value = L"v=1;[x] \u97f3";
  const auto updated = SetIniValue(file, section, L"k", value);
  Require(updated.has_value());
  Require(FindIniValue(*updated, section, L"k") == value);
  Require(FindIniValue(*updated, L"Other", L"k") == otherBefore);
  Require(FindIniValue(*updated, section, L"j") == siblingBefore);
  // Writing the same value again finds it in place and changes nothing.
  Require(SetIniValue(*updated, section, L"k", value) == updated);
  return 0;
}
