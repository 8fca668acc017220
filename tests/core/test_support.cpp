#include "tests/core/test_support.h"

#ifdef _WIN32
#include <windows.h>
#else
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>
#endif

#include <atomic>
#include <chrono>
#include <new>
#include <stdexcept>

namespace marvolen::testing_support {

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

namespace {

#ifdef _WIN32
class Win32Holder final : public FileHolder {
 public:
  explicit Win32Holder(HANDLE h) : h_(h) {}
  ~Win32Holder() override { CloseHandle(h_); }

 private:
  HANDLE h_;
};
#else
class PosixHolder final : public FileHolder {
 public:
  explicit PosixHolder(int fd) : fd_(fd) {}
  ~PosixHolder() override { ::close(fd_); }

 private:
  int fd_;
};
#endif

}  // namespace

std::unique_ptr<FileHolder> HoldFileOpen(const std::filesystem::path& path) {
#ifdef _WIN32
  const HANDLE h = CreateFileW(path.wstring().c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                               OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (h == INVALID_HANDLE_VALUE) throw std::runtime_error("cannot hold file");
  return std::make_unique<Win32Holder>(h);
#else
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0 || ::flock(fd, LOCK_EX | LOCK_NB) != 0) throw std::runtime_error("cannot hold file");
  return std::make_unique<PosixHolder>(fd);
#endif
}

namespace {

class MemoryFile final : public OutputFile {
 public:
  explicit MemoryFile(MemoryEnvironment& env) : env_(env) {}
  bool WriteAll(const uint8_t* data, size_t size) override {
    if (env_.failWrite) {
      env_.written.assign(data, data + size / 2);  // a short write
      return false;
    }
    env_.written.assign(data, data + size);
    return true;
  }
  bool Close() override {
    env_.closed = true;
    return !env_.failClose;
  }
  void Discard() override {
    env_.discarded = true;
    env_.written.clear();
  }

 private:
  MemoryEnvironment& env_;
};

}  // namespace

std::unique_ptr<OutputFile> MemoryEnvironment::OpenExclusive(const std::wstring& path) {
  if (failOpen) return nullptr;
  opened = true;
  openedPath = path;
  return std::make_unique<MemoryFile>(*this);
}

std::unique_ptr<uint8_t[]> MemoryEnvironment::Allocate(size_t size) {
  if (failAllocation) return nullptr;
  return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size]);
}

std::vector<uint8_t> RenderToMemory(const SignalSettings& settings) {
  MemoryEnvironment env;
  RecordingReporter reporter;
  if (RenderTimeSignal(settings, nullptr, reporter, env) != RenderOutcome::Completed) {
    throw std::runtime_error("render failed");
  }
  return env.written;
}

}  // namespace marvolen::testing_support
