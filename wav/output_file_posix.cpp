// POSIX output file. POSIX has no share modes: the file is opened without
// truncation, locked with an exclusive non-blocking flock, and only then
// truncated, so a file that another process holds locked is never touched.
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <string>
#include <utility>

#include "common/text.h"
#include "wav/output_file.h"

namespace marvolen {
namespace {

class PosixOutputFile final : public OutputFile {
 public:
  PosixOutputFile(int fd, std::string path, bool regular)
      : fd_(fd), path_(std::move(path)), regular_(regular) {}
  PosixOutputFile(const PosixOutputFile&) = delete;
  PosixOutputFile& operator=(const PosixOutputFile&) = delete;
  ~PosixOutputFile() override {
    if (fd_ >= 0) ::close(fd_);
  }

  bool WriteAll(const uint8_t* data, size_t size) override {
    while (size > 0) {
      const ssize_t n = ::write(fd_, data, size);
      if (n < 0 && errno == EINTR) continue;
      if (n <= 0) return false;
      data += n;
      size -= static_cast<size_t>(n);
    }
    return true;
  }

  bool Close() override {
    // fsync so that a full disk or an I/O error shows up here, not later.
    const bool synced = ::fsync(fd_) == 0 || errno == EINVAL;
    const bool closed = ::close(fd_) == 0;
    fd_ = -1;
    return synced && closed;
  }

  void Discard() override {
    if (fd_ >= 0) ::close(fd_);
    fd_ = -1;
    if (regular_) ::unlink(path_.c_str());
  }

 private:
  int fd_;
  std::string path_;
  bool regular_;
};

}  // namespace

std::unique_ptr<OutputFile> NativeRenderEnvironment::OpenExclusive(const std::wstring& path) {
  if (path.empty()) return nullptr;
  const std::string narrow = WideToUtf8(path);
  const int fd = ::open(narrow.c_str(), O_WRONLY | O_CREAT | O_CLOEXEC | O_NOCTTY, 0666);
  if (fd < 0) return nullptr;
  struct stat st {};
  if (::fstat(fd, &st) != 0) {
    ::close(fd);
    return nullptr;
  }
  const bool regular = S_ISREG(st.st_mode);
  auto file = std::make_unique<PosixOutputFile>(fd, narrow, regular);
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) return nullptr;
  // Devices such as /dev/null cannot be truncated and need not be.
  if (regular && ::ftruncate(fd, 0) != 0) return nullptr;
  return file;
}

std::unique_ptr<uint8_t[]> NativeRenderEnvironment::Allocate(size_t size) {
  return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size]);
}

}  // namespace marvolen
