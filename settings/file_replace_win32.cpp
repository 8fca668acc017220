// Windows whole-file replacement: write a temporary file in the same folder,
// flush it, then move it over the old one with MoveFileExW.
#include <windows.h>

#include <string>

#include "settings/file_replace.h"
#include "settings/win32_handle.h"

namespace marvolen {
namespace {

// Deletes the temporary file unless it has taken the old file's place.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::wstring path) : path_(std::move(path)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (!path_.empty()) DeleteFileW(path_.c_str());
  }
  void Release() { path_.clear(); }

 private:
  std::wstring path_;
};

bool WriteAll(HANDLE h, std::string_view bytes) {
  while (!bytes.empty()) {
    const DWORD chunk = bytes.size() > 0x10000000 ? 0x10000000 : static_cast<DWORD>(bytes.size());
    DWORD written = 0;
    if (!WriteFile(h, bytes.data(), chunk, &written, nullptr) || written == 0) return false;
    bytes.remove_prefix(written);
  }
  return true;
}

}  // namespace

FileReadStatus ReadWholeFile(const std::wstring& path, std::string& bytes) {
  bytes.clear();
  UniqueHandle file(CreateFileW(path.c_str(), GENERIC_READ,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file.valid()) {
    const DWORD error = GetLastError();
    return error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND ? FileReadStatus::Absent
                                                                          : FileReadStatus::Failed;
  }
  char buffer[16384];
  for (;;) {
    DWORD n = 0;
    if (!ReadFile(file.get(), buffer, sizeof buffer, &n, nullptr)) return FileReadStatus::Failed;
    if (n == 0) return FileReadStatus::Read;
    bytes.append(buffer, n);
  }
}

bool ReplaceWholeFile(const std::wstring& path, std::string_view bytes) {
  if (path.empty()) return false;
  const DWORD attributes = GetFileAttributesW(path.c_str());
  if (attributes != INVALID_FILE_ATTRIBUTES &&
      (attributes & (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY)) != 0) {
    return false;
  }
  // A name no other writer of this file uses at the same moment.
  const std::wstring base = path + L".tmp-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
                            std::to_wstring(GetCurrentThreadId()) + L"-";
  for (int attempt = 0; attempt < 100; ++attempt) {
    const std::wstring temporaryPath = base + std::to_wstring(attempt);
    UniqueHandle file(CreateFileW(temporaryPath.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.valid()) {
      if (GetLastError() == ERROR_FILE_EXISTS) continue;
      return false;
    }
    TemporaryFile temporary(temporaryPath);
    const bool written = WriteAll(file.get(), bytes) && FlushFileBuffers(file.get());
    // Closed before the guard may delete it: an open file cannot be deleted.
    if (!file.Close() || !written) return false;
    if (!MoveFileExW(temporaryPath.c_str(), path.c_str(),
                     MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
      return false;
    }
    temporary.Release();
    return true;
  }
  return false;
}

}  // namespace marvolen
