// A file handle that closes itself (Windows only).
#pragma once

#include <windows.h>

namespace marvolen {

class UniqueHandle {
 public:
  explicit UniqueHandle(HANDLE h) : h_(h) {}
  UniqueHandle(const UniqueHandle&) = delete;
  UniqueHandle& operator=(const UniqueHandle&) = delete;
  ~UniqueHandle() {
    if (valid()) CloseHandle(h_);
  }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  HANDLE get() const { return h_; }
  // Closes now and reports whether that worked.
  bool Close() {
    const HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return CloseHandle(h) != FALSE;
  }

 private:
  HANDLE h_;
};

}  // namespace marvolen
