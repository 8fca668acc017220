// Fixtures of the settings tests: a scratch folder, file helpers, and the
// stores that one table of behaviour cases runs against.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "settings/profile_store.h"
#include "tests/support/scratch_dir.h"

namespace marvolen::settings_testing {

using testing_support::NativePath;
using testing_support::ReadBytes;
using testing_support::ScratchDir;
using testing_support::WidePath;
using testing_support::WriteBytes;

// The file's text whatever the encoding the store chose: UTF-16LE or UTF-8
// after a byte-order mark, UTF-8 (ASCII in the tests) without one.
std::wstring DecodeText(const std::string& bytes);
// The lines of a text, without their endings.
std::vector<std::wstring> Lines(const std::wstring& text);

// Marks the file read-only the platform's way, and undoes it.
void SetReadOnly(const std::filesystem::path& path, bool readOnly);

// Whether the platform refuses to open a read-only file for writing. Wine
// run as root does not (it leaves that to the POSIX permissions, which root
// passes), so the platform's own read-only behaviour cannot be seen there.
bool PlatformRefusesWritingReadOnlyFiles(const std::filesystem::path& readOnlyFile);

// One implementation of the profile operations on a file.
struct StoreKind {
  std::string name;
  std::function<std::unique_ptr<ProfileStore>(const std::wstring& path)> open;
  bool isPlatform;  // the platform's own functions, the reference
};

// The portable store everywhere; the platform's functions on Windows.
std::vector<StoreKind> AllStoreKinds();

// gtest parameter naming.
struct StoreKindName {
  std::string operator()(const auto& info) const { return info.param.name; }
};

}  // namespace marvolen::settings_testing
