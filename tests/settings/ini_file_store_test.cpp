// The portable store on real files: creation, safe replacement, files it
// must leave alone.
#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/resource.h>
#include <sys/stat.h>

#include <csignal>
#endif

#include "settings/ini_store.h"
#include "tests/settings/settings_test_support.h"

namespace marvolen {
namespace {

using settings_testing::ReadBytes;
using settings_testing::ScratchDir;
using settings_testing::WidePath;
using settings_testing::WriteBytes;

std::vector<std::string> FolderEntries(const std::filesystem::path& folder) {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder)) {
    names.push_back(entry.path().filename().string());
  }
  return names;
}

TEST(IniFileStore, CreatesAMissingFileAsUtf8WithCrlfAndLeavesNoTemporaryFile) {
  ScratchDir dir;
  IniFileStore store(WidePath(dir / "new.ini"));
  EXPECT_TRUE(store.WriteProfileString(L"S", L"k", L"\u6642\u5831"));
  EXPECT_TRUE(store.WriteProfileInt(L"S", L"n", -1));
  EXPECT_EQ(ReadBytes(dir / "new.ini"), "[S]\r\nk=\xE6\x99\x82\xE5\xA0\xB1\r\nn=-1\r\n");
  EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"new.ini"});
}

TEST(IniFileStore, WorksOnAPathWithJapaneseNames) {
  ScratchDir dir;
  const std::wstring folder = WidePath(dir.path()) + L"/\u8a2d\u5b9a";
  std::filesystem::create_directory(settings_testing::NativePath(folder));
  IniFileStore store(folder + L"/\u6642\u5831.INI");
  EXPECT_TRUE(store.WriteProfileInt(L"S", L"k", 5));
  EXPECT_EQ(IniFileStore(folder + L"/\u6642\u5831.INI").GetProfileInt(L"S", L"k", 0), 5);
}

TEST(IniFileStore, EmptyPathReadsDefaultsAndRefusesWrites) {
  IniFileStore store(L"");
  EXPECT_EQ(store.GetProfileInt(L"S", L"k", 7), 7);
  EXPECT_EQ(store.GetProfileString(L"S", L"k", L"d"), L"d");
  EXPECT_FALSE(store.WriteProfileInt(L"S", L"k", 1));
}

TEST(IniFileStore, APathThatCannotBeReadIsNeverOverwritten) {
  ScratchDir dir;
  std::filesystem::create_directory(dir / "folder.ini");
  IniFileStore store(WidePath(dir / "folder.ini"));
  EXPECT_EQ(store.GetProfileInt(L"S", L"k", 7), 7);
  EXPECT_FALSE(store.WriteProfileInt(L"S", L"k", 1));
  EXPECT_TRUE(std::filesystem::is_directory(dir / "folder.ini"));
}

TEST(IniFileStore, AMissingFolderIsNotCreated) {
  ScratchDir dir;
  IniFileStore store(WidePath(dir / "missing" / "x.ini"));
  EXPECT_FALSE(store.WriteProfileInt(L"S", L"k", 1));
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

#ifndef _WIN32
// Sets a file-size limit for this process: writes past it fail half-way, as
// on a full disk.
class FileSizeLimit {
 public:
  explicit FileSizeLimit(rlim_t bytes) {
    getrlimit(RLIMIT_FSIZE, &saved_);
    previousHandler_ = std::signal(SIGXFSZ, SIG_IGN);
    rlimit limit = saved_;
    limit.rlim_cur = bytes;
    setrlimit(RLIMIT_FSIZE, &limit);
  }
  ~FileSizeLimit() {
    setrlimit(RLIMIT_FSIZE, &saved_);
    std::signal(SIGXFSZ, previousHandler_);
  }
  FileSizeLimit(const FileSizeLimit&) = delete;
  FileSizeLimit& operator=(const FileSizeLimit&) = delete;

 private:
  rlimit saved_{};
  void (*previousHandler_)(int) = SIG_DFL;
};

TEST(IniFileStore, AWriteThatFailsHalfWayLeavesTheOldFile) {
  ScratchDir dir;
  const std::string before = "[S]\nk=old\n";
  WriteBytes(dir / "s.ini", before);
  IniFileStore store(WidePath(dir / "s.ini"));
  {
    FileSizeLimit limit(64);
    EXPECT_FALSE(store.WriteProfileString(L"S", L"k", std::wstring(1000, L'x')));
  }
  EXPECT_EQ(ReadBytes(dir / "s.ini"), before);
  EXPECT_EQ(FolderEntries(dir.path()), std::vector<std::string>{"s.ini"});
}

TEST(IniFileStore, KeepsTheFilePermissionsAndSymbolicLinks) {
  ScratchDir dir;
  WriteBytes(dir / "real.ini", "[S]\nk=1\n");
  ::chmod((dir / "real.ini").c_str(), 0600);
  std::filesystem::create_symlink("real.ini", dir / "link.ini");
  IniFileStore store(WidePath(dir / "link.ini"));
  EXPECT_TRUE(store.WriteProfileInt(L"S", L"k", 2));
  EXPECT_TRUE(std::filesystem::is_symlink(dir / "link.ini"));
  EXPECT_EQ(ReadBytes(dir / "real.ini"), "[S]\nk=2\n");
  struct stat st {};
  ASSERT_EQ(::stat((dir / "real.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0600u);
}
#endif

}  // namespace
}  // namespace marvolen
