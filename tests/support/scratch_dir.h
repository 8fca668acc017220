// Test fixtures every suite shares: a scratch folder and whole-file helpers.
#pragma once

#include <filesystem>
#include <string>

namespace marvolen::testing_support {

// A fresh folder under the system's temporary folder, removed afterwards
// (read-only entries included).
class ScratchDir {
 public:
  ScratchDir();
  ~ScratchDir();
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;
  const std::filesystem::path& path() const { return path_; }
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

 private:
  std::filesystem::path path_;
};

// A path as the program's wide-text interfaces take it, and back.
std::wstring WidePath(const std::filesystem::path& path);
std::filesystem::path NativePath(const std::wstring& path);

std::string ReadBytes(const std::filesystem::path& path);
void WriteBytes(const std::filesystem::path& path, const std::string& bytes);

}  // namespace marvolen::testing_support
