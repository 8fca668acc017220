// Arbitrary bytes as an INI file for the portable store's reader and writer.
// Checks what must hold for any file: reading never fails, a write reads
// back as written, and a write leaves other keys as they read before.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/ini_store.h"

namespace {

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  using namespace marvolen;
  const std::string file(reinterpret_cast<const char*>(data), size);

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
