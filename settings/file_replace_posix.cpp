// POSIX whole-file replacement: write a temporary file in the same folder,
// fsync it, rename it over the old one (atomic within one file system).
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string>

#include "common/text.h"
#include "settings/file_replace.h"

namespace marvolen {
namespace {

class UniqueFd {
 public:
  explicit UniqueFd(int fd) : fd_(fd) {}
  UniqueFd(const UniqueFd&) = delete;
  UniqueFd& operator=(const UniqueFd&) = delete;
  ~UniqueFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  int get() const { return fd_; }
  bool Close() {
    const int fd = fd_;
    fd_ = -1;
    return ::close(fd) == 0;
  }

 private:
  int fd_;
};

// Removes the temporary file unless it has taken the old file's place.
class TemporaryFile {
 public:
  explicit TemporaryFile(std::string path) : path_(std::move(path)) {}
  TemporaryFile(const TemporaryFile&) = delete;
  TemporaryFile& operator=(const TemporaryFile&) = delete;
  ~TemporaryFile() {
    if (!path_.empty()) ::unlink(path_.c_str());
  }
  const std::string& path() const { return path_; }
  void Release() { path_.clear(); }

 private:
  std::string path_;
};

bool WriteAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    const ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    bytes.remove_prefix(static_cast<size_t>(n));
  }
  return true;
}

// The file a write must replace: the target of a symbolic link, so that the
// link stays a link.
std::string ResolveTarget(const std::string& path) {
  struct stat st {};
  if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode)) return path;
  std::unique_ptr<char, decltype(&std::free)> resolved(::realpath(path.c_str(), nullptr),
                                                       &std::free);
  return resolved ? std::string(resolved.get()) : std::string();
}

}  // namespace

FileReadStatus ReadWholeFile(const std::wstring& path, std::string& bytes) {
  bytes.clear();
  UniqueFd fd(::open(WideToUtf8(path).c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY));
  if (fd.get() < 0) return errno == ENOENT ? FileReadStatus::Absent : FileReadStatus::Failed;
  char buffer[16384];
  for (;;) {
    const ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n < 0) return FileReadStatus::Failed;
    if (n == 0) return FileReadStatus::Read;
    bytes.append(buffer, static_cast<size_t>(n));
  }
}

bool ReplaceWholeFile(const std::wstring& path, std::string_view bytes) {
  const std::string target = ResolveTarget(WideToUtf8(path));
  if (target.empty()) return false;

  // An existing file's permissions carry over; a new file gets 0666 less the
  // umask, applied by open() itself.
  std::optional<mode_t> keepMode;
  struct stat st {};
  if (::stat(target.c_str(), &st) == 0) {
    // The owner's write bit is the read-only mark; root ignores permissions,
    // so the bit is checked as well as access().
    if (!S_ISREG(st.st_mode) || (st.st_mode & S_IWUSR) == 0) return false;
    if (::access(target.c_str(), W_OK) != 0) return false;
    keepMode = st.st_mode & 07777;
  } else if (errno != ENOENT) {
    return false;
  }

  std::string temporaryPath;
  int opened = -1;
  for (int attempt = 0; attempt < 100 && opened < 0; ++attempt) {
    temporaryPath = target + ".tmp-" + std::to_string(::getpid()) + "-" + std::to_string(attempt);
    opened =
        ::open(temporaryPath.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0666);
    if (opened < 0 && errno != EEXIST) return false;
  }
  UniqueFd fd(opened);
  if (fd.get() < 0) return false;
  TemporaryFile temporary(temporaryPath);
  if (keepMode && ::fchmod(fd.get(), *keepMode) != 0) return false;
  if (!WriteAll(fd.get(), bytes) || ::fsync(fd.get()) != 0 || !fd.Close()) return false;
  if (::rename(temporary.path().c_str(), target.c_str()) != 0) return false;
  temporary.Release();
  return true;
}

}  // namespace marvolen
