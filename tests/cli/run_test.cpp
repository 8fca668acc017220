// The program run with a settings file: what it writes, prints and refuses.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "tests/support/scratch_dir.h"

namespace {

using Scratch = marvolen::testing_support::ScratchDir;
using marvolen::testing_support::ReadBytes;
using marvolen::testing_support::WriteBytes;

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

TEST(CliSettingsFile, SaveSettingsWritesTheFileAndGeneratesNothing) {
  Scratch dir;
  const CliResult run = RunCli(dir, "--settings s.INI --save-settings --rate 44100 --bits 24");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(ReadBytes(dir / "s.INI"),
            "[Setting_Data]\r\nComboFreqListCurSel=3\r\nSaveFileName=TestSound01.wav\r\n"
            "BitSize=2\r\nMonaural=1\r\nSelectHousoukyoku=0\r\nNoticeSoundFreq1=440\r\n"
            "NoticeSoundFreq2=400\r\nMainSignalSoundFreq=880\r\n");
  EXPECT_FALSE(std::filesystem::exists(dir / "TestSound01.wav"));
}

TEST(CliSettingsFile, PrintSettingsShowsTheFileWithTheOptionsApplied) {
  Scratch dir;
  WriteBytes(dir / "s.INI", "[Setting_Data]\nBitSize=7\nSaveFileName=x.wav\nNoticeSoundFreq1=4\n");
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
    WriteBytes(dir / "s.INI", text);
    const CliResult run = RunCli(dir, "--settings s.INI");
    EXPECT_EQ(run.status, 2);
    EXPECT_NE(run.out.find("s.INI: " + message), std::string::npos) << run.out;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.wav"));
    EXPECT_EQ(ReadBytes(dir / "s.INI"), text);
  }
}

TEST(CliSettingsFile, GeneratesFromTheStoredValues) {
  Scratch dir;
  WriteBytes(dir / "s.INI", "[Setting_Data]\nComboFreqListCurSel=1\nBitSize=0\nMonaural=0\n");
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

// The command line as a user types it: what is written, printed and refused.
TEST(CliRun, WritesTheDefaultFileAndSaysWhatItWrote) {
  Scratch dir;
  const CliResult run = RunCli(dir, "");
  EXPECT_EQ(run.status, 0) << run.out;
  EXPECT_EQ(run.out, "TestSound01.wav: 8000 Hz, 16-bit, stereo, NHK pattern, 6 s, 192044 bytes\n");
  EXPECT_EQ(std::filesystem::file_size(dir / "TestSound01.wav"), 192044u);
}

TEST(CliRun, BadValuesExitWithStatus2AndTouchNoFile) {
  const char* const cases[] = {"--rate 11025",  "--bits 12",     "--freq1 4",
                               "--freq2 20001", "--main-freq x", "--station bbc",
                               "--mono=1",      "--nonsense",    "stray"};
  for (const char* args : cases) {
    Scratch dir;
    WriteBytes(dir / "out.wav", "keep me");
    const CliResult run = RunCli(dir, std::string("-o out.wav ") + args);
    EXPECT_EQ(run.status, 2) << args;
    EXPECT_NE(run.out.find("marvolen: "), std::string::npos) << args;
    EXPECT_EQ(ReadBytes(dir / "out.wav"), "keep me") << args;
  }
}

TEST(CliRun, AJobFailurePrintsTheJobsMessageAndExits1) {
  Scratch dir;
  const CliResult run = RunCli(dir, "-o missing/out.wav");
  EXPECT_EQ(run.status, 1);
  EXPECT_NE(run.out.find("保存するファイルが開いています。"), std::string::npos) << run.out;
}

// Ctrl-C while rendering: the request is made pending before the program
// starts (blocked across exec), so it is seen at the first frame every time.
TEST(CliRun, InterruptDeletesTheFileAndExits130) {
  for (bool existed : {false, true}) {
    Scratch dir;
    if (existed) WriteBytes(dir / "out.wav", "old contents");
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
      sigset_t interrupt;
      sigemptyset(&interrupt);
      sigaddset(&interrupt, SIGINT);
      sigprocmask(SIG_BLOCK, &interrupt, nullptr);
      raise(SIGINT);
      if (chdir(dir.path().c_str()) != 0) _exit(99);
      execl(MARVOLEN_CLI, MARVOLEN_CLI, "-o", "out.wav", "--rate", "96000",
            static_cast<char*>(nullptr));
      _exit(98);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 130) << existed;
    EXPECT_FALSE(std::filesystem::exists(dir / "out.wav")) << existed;
  }
}
