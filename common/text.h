// Conversions between the wide text of the program and UTF-8 bytes.
#pragma once

#include <string>
#include <string_view>

namespace marvolen {

// Invalid sequences become U+FFFD; wchar_t is UTF-16 on Windows, UTF-32 elsewhere.
std::string WideToUtf8(std::wstring_view text);
std::wstring Utf8ToWide(std::string_view bytes);

}  // namespace marvolen
