#include <unistd.h>

#include <vector>

#include "common/text.h"
#include "settings/executable_path.h"

namespace marvolen {

// /proc/self/exe names the running executable whatever the working folder.
// Empty when it cannot be read.
std::wstring ExecutablePath() {
  for (size_t size = 256; size <= 65536; size *= 2) {
    std::vector<char> buffer(size);
    const ssize_t length = ::readlink("/proc/self/exe", buffer.data(), size);
    if (length < 0) return {};
    if (static_cast<size_t>(length) < size) {
      return Utf8ToWide(std::string_view(buffer.data(), static_cast<size_t>(length)));
    }
  }
  return {};
}

}  // namespace marvolen
