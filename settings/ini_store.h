// The portable INI store: the four profile operations on INI text of our own,
// with the behaviour the settings need of the platform's private-profile
// functions. Used for the settings file wherever those functions are absent.
//
// Text rules:
// - Encoding. The file is UTF-8. A UTF-8 byte-order mark at the start is
//   skipped when reading and kept when writing. Invalid UTF-8 in a value reads
//   as U+FFFD. A new file is written as UTF-8 without a mark. A file that
//   starts with the UTF-16LE mark (as the Windows program creates its
//   settings file) is read as UTF-16LE and written back in it; one that is not
//   valid UTF-16LE, or starts with the UTF-16BE mark, cannot be written back
//   unchanged: it reads as absent and every write to it is refused.
// - Lines. A line ends at LF; a CR right before the LF belongs to the line
//   ending, a CR anywhere else to the line's text. Every line keeps its own
//   ending. A line the store adds takes the ending of the file's first line
//   (CRLF when the file has no line ending yet, as a new file does), and an
//   unterminated last line gets that ending before anything is added after it.
// - Blanks are space and tab, and a CR that is not part of a line ending.
//   They are ignored around section names, key names and values, and before
//   '[' and ';'.
// - A section header is a line starting with '['; the name runs to the first
//   ']', the rest of the line is ignored. A '[' line without ']' is no header.
// - A comment is a line starting with ';'. Lines before the first header,
//   lines without '=' and lines with an empty name are ignored.
// - A key line is NAME=VALUE: the name before the first '=', the value after
//   it, both without the surrounding blanks. Quotes are part of the value.
// - Section and key names match regardless of ASCII letter case; other
//   characters must match exactly. Of several equal sections or keys, the
//   first one is read and written.
// - A text value arrives as at most its first 4095 characters.
// - An integer value: an optional '-', then decimal digits up to the first
//   other character, computed modulo 2^32 like the platform's 32-bit
//   conversion; a value that does not begin that way reads as 0 ("0x10" is 0,
//   "+5" is 0). A key present with an empty value reads as the default, as it
//   does from the platform.
// - A write replaces the value of an existing key and keeps the line's text
//   up to and including the '=' and the blanks after it (the blanks only when
//   the new value does not start with one of its own). A missing key goes
//   after the section's last line that is neither blank nor a comment; a
//   missing section goes at the end of the file, as its header and the key; a
//   missing file is created. Every other byte of the file stays as it was.
// - A write is refused (false, nothing changed) when it cannot be stored as
//   one line that reads back the same: an empty name, a name with line breaks,
//   NUL or blanks at either end, a key name with '=' or starting with '[' or
//   ';', a section name with ']', a value with CR, LF or NUL.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "settings/profile_store.h"

namespace marvolen {

// Characters of a text value that arrive through GetProfileString.
inline constexpr size_t kMaxProfileStringLength = 4095;

// The value text of section/key in the INI bytes `file`, untrimmed in length;
// nothing when the section or key is absent.
std::optional<std::wstring> FindIniValue(std::string_view file, std::wstring_view section,
                                         std::wstring_view key);

// An integer value by the reading rules above.
int32_t ParseProfileInt(std::wstring_view text);

// `file` with section/key set to `value`; nothing when the write is refused.
std::optional<std::string> SetIniValue(std::string_view file, std::wstring_view section,
                                       std::wstring_view key, std::wstring_view value);

enum class IniEncoding { Utf8, Utf16Le };

struct IniText {
  std::string utf8;  // the text the functions above work on
  IniEncoding encoding = IniEncoding::Utf8;
};

// The text of a file's bytes. UTF-8 bytes are taken as they are, mark
// included; UTF-16LE after its mark is converted. Nothing when the bytes
// could not be written back unchanged (see the encoding rule above).
std::optional<IniText> DecodeIniFile(std::string_view bytes);

// The bytes of a file holding `utf8` in `encoding`; UTF-16LE gets its mark.
std::string EncodeIniFile(std::string_view utf8, IniEncoding encoding);

// The profile operations on INI text held by a backing store; the file and the
// memory stores below differ only in where the bytes live.
class IniStoreBase : public ProfileStore {
 public:
  int32_t GetProfileInt(const std::wstring& section, const std::wstring& key,
                        int32_t fallback) override;
  std::wstring GetProfileString(const std::wstring& section, const std::wstring& key,
                                const std::wstring& fallback) override;
  bool WriteProfileInt(const std::wstring& section, const std::wstring& key,
                       int32_t value) override;
  bool WriteProfileString(const std::wstring& section, const std::wstring& key,
                          const std::wstring& value) override;

 protected:
  enum class LoadResult { Loaded, Absent, Failed };
  // The current bytes; Absent when there is no text yet (read as empty).
  virtual LoadResult Load(std::string& bytes) = 0;
  // Replaces the bytes as a whole; on failure the old bytes stay.
  virtual bool Store(const std::string& bytes) = 0;

 private:
  // The current text; nothing when there is none or it cannot be used.
  LoadResult LoadText(IniText& text);
};

// INI text in memory: for tests, and for checking arbitrary bytes.
class MemoryIniStore final : public IniStoreBase {
 public:
  MemoryIniStore() = default;
  explicit MemoryIniStore(std::string bytes) : bytes_(std::move(bytes)), exists_(true) {}
  const std::string& bytes() const { return bytes_; }
  bool exists() const { return exists_; }

 protected:
  LoadResult Load(std::string& bytes) override;
  bool Store(const std::string& bytes) override;

 private:
  std::string bytes_;
  bool exists_ = false;
};

// INI text in a file, read afresh by every operation and replaced as a whole
// by every write (see ReplaceWholeFile). An empty path is no file: every key
// reads as its default and every write is refused.
class IniFileStore final : public IniStoreBase {
 public:
  explicit IniFileStore(std::wstring path) : path_(std::move(path)) {}

 protected:
  LoadResult Load(std::string& bytes) override;
  bool Store(const std::string& bytes) override;

 private:
  std::wstring path_;
};

}  // namespace marvolen
