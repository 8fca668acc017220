// Whole-file reads and crash-safe whole-file replacement for the INI store.
// One implementation per platform.
#pragma once

#include <string>
#include <string_view>

namespace marvolen {

enum class FileReadStatus { Read, Absent, Failed };

// Reads the whole file into `bytes`. Absent when the file does not exist;
// Failed when it exists but cannot be read.
FileReadStatus ReadWholeFile(const std::wstring& path, std::string& bytes);

// Replaces the file's content: the bytes go to a new file beside it, which
// then takes the old one's place in one rename. Whatever fails on the way
// (a full disk, a read-only folder), the old file stays as it was and the
// temporary file is removed. A read-only file (no write permission for its
// owner; the read-only attribute on Windows) is refused and kept, as the
// platform's profile functions keep it. A new file is created when missing.
bool ReplaceWholeFile(const std::wstring& path, std::string_view bytes);

}  // namespace marvolen
