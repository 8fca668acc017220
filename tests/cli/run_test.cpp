// The program run with a settings file: what it writes, prints and refuses.
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace {

class Scratch {
 public:
  Scratch() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("marvolen-cli-" +
             std::to_string(std::chrono::steady_clock::now().time_since_epoch().count()) + "-" +
             std::to_string(counter++));
    std::filesystem::create_directories(path_);
  }
  ~Scratch() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
  }
  Scratch(const Scratch&) = delete;
  Scratch& operator=(const Scratch&) = delete;
  std::filesystem::path operator/(const std::string& name) const { return path_ / name; }
  const std::filesystem::path& path() const { return path_; }

 private:
  std::filesystem::path path_;
};

struct CliResult {
  int status;
  std::string out;
};

// Runs the program in `dir` with `args` (shell words) and English messages.
CliResult RunCli(const Scratch& dir, const std::string& args) {
  const std::string command =
      "cd '" + dir.path().string() + "' && LC_ALL=C '" MARVOLEN_CLI "' " + args + " 2>&1";
  CliResult run{-1, {}};
  FILE* pipe = popen(command.c_str(), "r");
  if (!pipe) return run;
  char buffer[4096];
  size_t n;
  while ((n = fread(buffer, 1, sizeof buffer, pipe)) > 0) run.out.append(buffer, n);
  const int status = pclose(pipe);
  run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return run;
}

std::string Read(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Write(const std::filesystem::path& path, const std::string& text) {
  std::ofstream(path, std::ios::binary) << text;
}

TEST(CliSettingsFile, SaveSettingsWritesTheFileAndGeneratesNothing) {
  Scratch dir;
  const CliResult run = RunCli(dir, "--settings s.INI --save-settings --rate 44100 --bits 24");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(Read(dir / "s.INI"),
            "[Setting_Data]\r\nComboFreqListCurSel=3\r\nSaveFileName=TestSound01.wav\r\n"
            "BitSize=2\r\nMonaural=1\r\nSelectHousoukyoku=0\r\nNoticeSoundFreq1=440\r\n"
            "NoticeSoundFreq2=400\r\nMainSignalSoundFreq=880\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "TestSound01.wav"));
}

TEST(CliSettingsFile, PrintSettingsShowsTheFileWithTheOptionsApplied) {
  Scratch dir;
  Write(dir / "s.INI", "[Setting_Data]\nBitSize=7\nSaveFileName=x.wav\nNoticeSoundFreq1=4\n");
  const CliResult run = RunCli(dir, "--settings s.INI --print-settings --mono");
  EXPECT_EQ(run.status, 0);
  EXPECT_EQ(run.out,
            "ComboFreqListCurSel=0\nSaveFileName=x.wav\nBitSize=7\nMonaural=0\n"
            "SelectHousoukyoku=0\nNoticeSoundFreq1=440\nNoticeSoundFreq2=400\n"
            "MainSignalSoundFreq=880\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "x.wav"));
}

TEST(CliSettingsFile, StoredValuesOutsideTheirCodesAreRefusedAndNothingIsTouched) {
  const std::pair<std::string, std::string> cases[] = {
      {"ComboFreqListCurSel=6", "ComboFreqListCurSel=6 "},
      {"ComboFreqListCurSel=-1", "ComboFreqListCurSel=-1 "},
      {"BitSize=7", "BitSize=7 "},
      {"Monaural=2", "Monaural=2 "},
      {"SelectHousoukyoku=2", "SelectHousoukyoku=2 "},
  };
  for (const auto& [line, message] : cases) {
    SCOPED_TRACE(line);
    Scratch dir;
    const std::string text = "[Setting_Data]\nSaveFileName=out.wav\n" + line + "\n";
    Write(dir / "s.INI", text);
    const CliResult run = RunCli(dir, "--settings s.INI");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.out.find("s.INI: " + message), std::string::npos) << run.out;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.wav"));
    EXPECT_EQ(Read(dir / "s.INI"), text);
  }
}

TEST(CliSettingsFile, GeneratesFromTheStoredValues) {
  Scratch dir;
  Write(dir / "s.INI", "[Setting_Data]\nComboFreqListCurSel=1\nBitSize=0\nMonaural=0\n");
  const CliResult run = RunCli(dir, "--settings s.INI -o a.wav");
  EXPECT_EQ(run.status, 0) << run.out;
  // 44-byte header + 6 s x 9600 frames x 1 byte x 1 channel.
  EXPECT_EQ(std::filesystem::file_size(dir / "a.wav"), 44u + 6u * 9600u);
}

TEST(CliSettingsFile, SaveSettingsWithoutSettingsIsAUsageError) {
  Scratch dir;
  const CliResult run = RunCli(dir, "--save-settings");
  EXPECT_EQ(run.status, 2);
  EXPECT_TRUE(std::filesystem::is_empty(dir.path()));
}

}  // namespace
