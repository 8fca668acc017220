// Win32 output file: CreateFileW with share mode 0 keeps every other opener
// out while the job holds the file.
#include <windows.h>

#include <new>
#include <string>
#include <utility>

#include "wav/output_file.h"

namespace marvolen {
namespace {

class Win32OutputFile final : public OutputFile {
 public:
  Win32OutputFile(HANDLE handle, std::wstring path)
      : handle_(handle), path_(std::move(path)), disk_(GetFileType(handle) == FILE_TYPE_DISK) {}
  Win32OutputFile(const Win32OutputFile&) = delete;
  Win32OutputFile& operator=(const Win32OutputFile&) = delete;
  ~Win32OutputFile() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
  }

  bool WriteAll(const uint8_t* data, size_t size) override {
    while (size > 0) {
      const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
      DWORD written = 0;
      if (!WriteFile(handle_, data, chunk, &written, nullptr) || written == 0) return false;
      data += written;
      size -= written;
    }
    return true;
  }

  bool Close() override {
    const BOOL ok = CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    return ok != FALSE;
  }

  void Discard() override {
    if (handle_ != INVALID_HANDLE_VALUE) CloseHandle(handle_);
    handle_ = INVALID_HANDLE_VALUE;
    if (disk_) DeleteFileW(path_.c_str());
  }

 private:
  HANDLE handle_;
  std::wstring path_;
  bool disk_;
};

}  // namespace

std::unique_ptr<OutputFile> NativeRenderEnvironment::OpenExclusive(const std::wstring& path) {
  const HANDLE h = CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  return std::make_unique<Win32OutputFile>(h, path);
}

std::unique_ptr<uint8_t[]> NativeRenderEnvironment::Allocate(size_t size) {
  return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size]);
}

}  // namespace marvolen
