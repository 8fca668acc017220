// Marvolen.exe as a user meets it: a copy in a fresh folder, started as its
// own process and driven only through the window system: texts set with
// WM_SETTEXT, buttons clicked with a posted BM_CLICK, message boxes read and
// closed. What it leaves behind, the WAV file and the settings file, is
// compared with the core's output and with the saved values.
#include <windows.h>
// After windows.h, whose types it uses.
#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>
#include <vector>

#include "dialogkit/app.h"
#include "dialogkit/handles.h"
#include "marvolen_exe_path.h"
#include "tests/ui/gui_driver.h"
#include "ui/res/resource.h"
#include "wav/render_time_signal.h"

namespace {

namespace fs = std::filesystem;
using uitest::Driver;

// A fresh folder with a copy of Marvolen.exe in it, removed afterwards.
class ProgramFolder {
 public:
  ProgramFolder() {
    wchar_t name[48];
    swprintf(name, 48, L"mv-e2e-%lu-%llu", ::GetCurrentProcessId(), ::GetTickCount64());
    path_ = fs::temp_directory_path() / name;
    fs::create_directories(path_ / L"elsewhere");
    const fs::path built = fs::path(dialogkit::ModulePath()).parent_path() / kMarvolenExeFromTests;
    fs::copy_file(built, exe());
  }
  ~ProgramFolder() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  ProgramFolder(const ProgramFolder&) = delete;
  ProgramFolder& operator=(const ProgramFolder&) = delete;

  const fs::path& path() const { return path_; }
  fs::path exe() const { return path_ / L"Marvolen.exe"; }
  fs::path ini() const { return path_ / L"Marvolen.INI"; }

 private:
  fs::path path_;
};

// One run of the program. If a scenario fails half-way, the destructor
// closes what is open and, as a last resort, ends the process, so no test
// waits on a window nobody will close.
class RunningProgram {
 public:
  // Starts `exe` with `workingFolder` as its current folder and waits for
  // its main dialog to be visible.
  RunningProgram(const fs::path& exe, const fs::path& workingFolder) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION info{};
    std::wstring commandLine = L"\"" + exe.wstring() + L"\" ignored-argument";
    if (::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                         workingFolder.c_str(), &startup, &info)) {
      process_.reset(info.hProcess);
      dialogkit::UniqueHandle thread(info.hThread);
      driver_ = Driver(uitest::WindowScope{info.dwProcessId, 0});
      main_ = driver_.WaitForDialog(L"Marvolen");
    }
  }
  ~RunningProgram() {
    if (!process_ || Ended()) return;
    const bool closed = uitest::WaitUntil([&] {
      driver_.CloseEverything();
      return ::WaitForSingleObject(process_.get(), 50) == WAIT_OBJECT_0;
    });
    if (!closed) ::TerminateProcess(process_.get(), 1);
    ::WaitForSingleObject(process_.get(), INFINITE);
  }
  RunningProgram(const RunningProgram&) = delete;
  RunningProgram& operator=(const RunningProgram&) = delete;

  HWND main() const { return main_; }
  const Driver& driver() const { return driver_; }
  bool Ended() const { return ::WaitForSingleObject(process_.get(), 0) == WAIT_OBJECT_0; }
  bool WaitForEnd() const {
    return uitest::WaitUntil([&] { return Ended(); });
  }

 private:
  dialogkit::UniqueHandle process_;
  Driver driver_{uitest::WindowScope{}};
  HWND main_ = nullptr;
};

std::vector<char> ReadBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::vector<char>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// The lines of a settings file, whichever encoding the platform chose: UTF-16
// with its mark, UTF-8 with its mark, or single bytes (ASCII content).
std::vector<std::wstring> ReadLines(const fs::path& path) {
  const std::vector<char> bytes = ReadBytes(path);
  std::wstring text;
  if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
      static_cast<unsigned char>(bytes[1]) == 0xFE) {
    for (size_t i = 2; i + 1 < bytes.size(); i += 2) {
      text += static_cast<wchar_t>(static_cast<unsigned char>(bytes[i]) |
                                   static_cast<unsigned char>(bytes[i + 1]) << 8);
    }
  } else {
    const size_t start =
        bytes.size() >= 3 && bytes[0] == '\xEF' && bytes[1] == '\xBB' && bytes[2] == '\xBF' ? 3 : 0;
    const int length = ::MultiByteToWideChar(start ? CP_UTF8 : CP_ACP, 0, bytes.data() + start,
                                             static_cast<int>(bytes.size() - start), nullptr, 0);
    text.resize(static_cast<size_t>(length));
    ::MultiByteToWideChar(start ? CP_UTF8 : CP_ACP, 0, bytes.data() + start,
                          static_cast<int>(bytes.size() - start), text.data(), length);
  }
  std::vector<std::wstring> lines;
  size_t begin = 0;
  while (begin < text.size()) {
    size_t end = text.find(L'\n', begin);
    if (end == std::wstring::npos) end = text.size();
    std::wstring line = text.substr(begin, end - begin);
    if (!line.empty() && line.back() == L'\r') line.pop_back();
    lines.push_back(line);
    begin = end + 1;
  }
  return lines;
}

std::vector<std::wstring> ExpectedLines(int rateIndex, const std::wstring& fileName, int bitSize,
                                        int monaural, int station, int f1, int f2, int main) {
  return {L"[Setting_Data]",
          L"ComboFreqListCurSel=" + std::to_wstring(rateIndex),
          L"SaveFileName=" + fileName,
          L"BitSize=" + std::to_wstring(bitSize),
          L"Monaural=" + std::to_wstring(monaural),
          L"SelectHousoukyoku=" + std::to_wstring(station),
          L"NoticeSoundFreq1=" + std::to_wstring(f1),
          L"NoticeSoundFreq2=" + std::to_wstring(f2),
          L"MainSignalSoundFreq=" + std::to_wstring(main)};
}

class QuietReporter final : public marvolen::ErrorReporter {
 public:
  void Report(const std::wstring& text) override { reports.push_back(text); }
  std::vector<std::wstring> reports;
};

int RateSelection(HWND main) {
  return static_cast<int>(::SendDlgItemMessageW(main, IDC_SAMPLE_RATE, CB_GETCURSEL, 0, 0));
}

TEST(EndToEndTest, FirstRunSavedAtOnceWritesTheNineDefaultLines) {
  ProgramFolder folder;
  {
    RunningProgram program(folder.exe(), folder.path() / L"elsewhere");
    ASSERT_NE(program.main(), nullptr);
    uitest::Click(program.main(), IDOK);
    ASSERT_TRUE(program.WaitForEnd());
  }
  EXPECT_EQ(ReadLines(folder.ini()), ExpectedLines(0, L"TestSound01.wav", 1, 1, 0, 440, 400, 880));
  EXPECT_FALSE(fs::exists(folder.path() / L"elsewhere" / L"Marvolen.INI"));
}

TEST(EndToEndTest, CloseBoxEndsWithoutWritingAnything) {
  ProgramFolder folder;
  {
    RunningProgram program(folder.exe(), folder.path());
    ASSERT_NE(program.main(), nullptr);
    uitest::SetItemText(program.main(), IDC_NOTICE_FREQ1, L"1000");
    ::PostMessageW(program.main(), WM_SYSCOMMAND, SC_CLOSE, 0);
    ASSERT_TRUE(program.WaitForEnd());
  }
  EXPECT_FALSE(fs::exists(folder.ini()));
}

TEST(EndToEndTest, GeneratesSavesAndShowsTheSavedValuesOnTheNextStart) {
  ProgramFolder folder;
  const fs::path output = folder.path() / L"時報テスト.wav";
  {
    RunningProgram program(folder.exe(), folder.path() / L"elsewhere");
    const HWND main = program.main();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(uitest::ItemText(main, IDC_FILE_NAME), L"TestSound01.wav");
    EXPECT_EQ(RateSelection(main), 0);

    ::SendDlgItemMessageW(main, IDC_SAMPLE_RATE, CB_SETCURSEL, 2, 0);  // 22050
    uitest::SetItemText(main, IDC_FILE_NAME, output.wstring());
    ::SendDlgItemMessageW(main, IDC_STATION_NIPPON, BM_CLICK, 0, 0);
    ::SendDlgItemMessageW(main, IDC_MONO, BM_CLICK, 0, 0);
    uitest::SetItemText(main, IDC_NOTICE_FREQ1, L"1000");
    uitest::SetItemText(main, IDC_NOTICE_FREQ2, L"abc");
    uitest::SetItemText(main, IDC_MAIN_FREQ, L"2000");

    // A bad frequency first: the framework's message, captioned with the
    // executable's name.
    uitest::Click(main, IDC_GENERATE);
    const auto box = program.driver().ExpectMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, L"整数を入力してください。");
    EXPECT_EQ(box->caption, L"Marvolen");
    EXPECT_FALSE(fs::exists(output));

    uitest::SetItemText(main, IDC_NOTICE_FREQ2, L"1500");
    uitest::Click(main, IDC_GENERATE);
    ASSERT_TRUE(uitest::WaitUntil([&] {
      std::error_code error;
      return fs::exists(output, error) && uitest::IsEnabled(main, IDC_GENERATE);
    }));
    EXPECT_TRUE(program.driver().NoMessageBox());

    uitest::Click(main, IDOK);
    ASSERT_TRUE(program.WaitForEnd());
  }

  marvolen::SignalSettings expected;
  expected.SampleRate = 22050;
  expected.SaveFileName = (folder.path() / L"expected.wav").wstring();
  expected.Monaural = marvolen::kMono;
  expected.SelectHousoukyoku = marvolen::kStationNippon;
  expected.NoticeSoundFreq1 = 1000;
  expected.NoticeSoundFreq2 = 1500;
  expected.MainSignalSoundFreq = 2000;
  QuietReporter reporter;
  ASSERT_EQ(marvolen::RenderTimeSignal(expected, nullptr, reporter),
            marvolen::RenderOutcome::Completed);
  const std::vector<char> written = ReadBytes(output);
  EXPECT_EQ(written.size(), marvolen::WavFileSize(expected));
  EXPECT_TRUE(written == ReadBytes(expected.SaveFileName)) << "the program's file differs";

  const std::vector<std::wstring> savedLines =
      ExpectedLines(2, output.wstring(), 1, 0, 1, 1000, 1500, 2000);
  EXPECT_EQ(ReadLines(folder.ini()), savedLines);
  const std::vector<char> savedBytes = ReadBytes(folder.ini());

  {
    RunningProgram program(folder.exe(), folder.path());
    const HWND main = program.main();
    ASSERT_NE(main, nullptr);
    EXPECT_EQ(RateSelection(main), 2);
    EXPECT_EQ(uitest::ItemText(main, IDC_FILE_NAME), output.wstring());
    EXPECT_TRUE(uitest::IsChecked(main, IDC_BIT_16));
    EXPECT_TRUE(uitest::IsChecked(main, IDC_MONO));
    EXPECT_TRUE(uitest::IsChecked(main, IDC_STATION_NIPPON));
    EXPECT_EQ(uitest::ItemText(main, IDC_NOTICE_FREQ1), L"1000");
    EXPECT_EQ(uitest::ItemText(main, IDC_NOTICE_FREQ2), L"1500");
    EXPECT_EQ(uitest::ItemText(main, IDC_MAIN_FREQ), L"2000");
    ::PostMessageW(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(program.WaitForEnd());
  }
  EXPECT_TRUE(ReadBytes(folder.ini()) == savedBytes) << "closing without saving wrote the file";
}

TEST(EndToEndTest, HandEditedCodesAreRefusedBeforeAnythingIsWritten) {
  ProgramFolder folder;
  const fs::path output = folder.path() / L"never.wav";
  {
    std::ofstream ini(folder.ini(), std::ios::binary);
    ini << "[Setting_Data]\r\nBitSize=7\r\n";
  }
  RunningProgram program(folder.exe(), folder.path());
  const HWND main = program.main();
  ASSERT_NE(main, nullptr);
  EXPECT_FALSE(uitest::IsChecked(main, IDC_BIT_8));
  EXPECT_FALSE(uitest::IsChecked(main, IDC_BIT_16));
  EXPECT_FALSE(uitest::IsChecked(main, IDC_BIT_24));
  uitest::SetItemText(main, IDC_FILE_NAME, output.wstring());
  uitest::Click(main, IDC_GENERATE);
  const auto box = program.driver().ExpectMessageBox();
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text,
            L"「データのサンプリングビット」が選択されていません。"
            L"選択してから時報音声を生成してください。");
  EXPECT_EQ(box->caption, L"Marvolen");
  EXPECT_FALSE(fs::exists(output));
  EXPECT_TRUE(uitest::IsEnabled(main, IDC_GENERATE));
}

// The file version of the program, read the platform's way, independently of
// the about dialog's own code.
std::wstring VersionLineOf(const fs::path& exe) {
  DWORD ignored = 0;
  const DWORD size = ::GetFileVersionInfoSizeW(exe.c_str(), &ignored);
  std::vector<BYTE> block(size);
  void* fixed = nullptr;
  UINT length = 0;
  if (size == 0 || !::GetFileVersionInfoW(exe.c_str(), 0, size, block.data()) ||
      !::VerQueryValueW(block.data(), L"\\", &fixed, &length) || length == 0) {
    return L"(no version resource)";
  }
  const auto* info = static_cast<const VS_FIXEDFILEINFO*>(fixed);
  const auto n = [](DWORD value) { return std::to_wstring(value); };
  const DWORD major = HIWORD(info->dwFileVersionMS), minor = LOWORD(info->dwFileVersionMS);
  const DWORD build = HIWORD(info->dwFileVersionLS), revision = LOWORD(info->dwFileVersionLS);
  return L"Marvolen Version" + n(major) + L"." + n(minor) + n(build) + L" (" + n(major) + L"." +
         n(minor) + L"." + n(build) + L"." + n(revision) + L")";
}

TEST(EndToEndTest, GeneratesUnderTheProgressDialogAndShowsTheAboutBox) {
  ProgramFolder folder;
  const fs::path output = folder.path() / L"時報.wav";
  RunningProgram program(folder.exe(), folder.path());
  const HWND main = program.main();
  ASSERT_NE(main, nullptr);
  uitest::SetItemText(main, IDC_FILE_NAME, output.wstring());

  // Held open by someone else: the job's box stands over the progress
  // dialog, whose bar is still empty, until the user closes it.
  {
    { std::ofstream(output, std::ios::binary) << "in use"; }
    const dialogkit::UniqueHandle holder(::CreateFileW(output.c_str(), GENERIC_READ,
                                                       FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                       FILE_ATTRIBUTE_NORMAL, nullptr));
    ASSERT_TRUE(holder);
    uitest::Click(main, IDC_GENERATE);
    const auto box = program.driver().WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    EXPECT_EQ(box->text, L"保存するファイルが開いています。\nファイルを閉じてください。");
    EXPECT_EQ(box->caption, L"Marvolen");
    const HWND progress = program.driver().WaitForDialog(L"時報音声生成中");
    ASSERT_NE(progress, nullptr);
    EXPECT_EQ(::SendDlgItemMessageW(progress, IDC_PROGRESS, PBM_GETPOS, 0, 0), 0);
    EXPECT_FALSE(uitest::IsEnabled(main, IDC_GENERATE));
    program.driver().CloseMessageBox(box->hwnd);
    EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(progress); }));
    EXPECT_TRUE(uitest::WaitUntil([&] { return uitest::IsEnabled(main, IDC_GENERATE); }));
  }

  // Free again: the run completes and the progress dialog closes by itself.
  marvolen::SignalSettings expected;
  expected.SampleRate = 8000;
  expected.SaveFileName = (folder.path() / L"expected.wav").wstring();
  uitest::Click(main, IDC_GENERATE);
  ASSERT_TRUE(uitest::WaitUntil([&] {
    std::error_code error;
    return fs::file_size(output, error) == marvolen::WavFileSize(expected) &&
           uitest::IsEnabled(main, IDC_GENERATE) && program.driver().Dialogs().size() == 1;
  }));
  EXPECT_TRUE(program.driver().NoMessageBox());
  QuietReporter reporter;
  ASSERT_EQ(marvolen::RenderTimeSignal(expected, nullptr, reporter),
            marvolen::RenderOutcome::Completed);
  EXPECT_TRUE(ReadBytes(output) == ReadBytes(expected.SaveFileName));

  // The window menu's item opens the about box; OK closes it.
  ::PostMessageW(main, WM_SYSCOMMAND, IDM_ABOUTBOX, 0);
  const HWND about = program.driver().WaitForDialog(L"バージョン情報");
  ASSERT_NE(about, nullptr);
  EXPECT_EQ(uitest::ItemText(about, IDC_VERSION_TEXT), VersionLineOf(folder.exe()));
  EXPECT_FALSE(::IsWindowEnabled(main)) << "the about box is modal";
  uitest::Click(about, IDOK);
  EXPECT_TRUE(uitest::WaitUntil([&] { return !::IsWindow(about) && ::IsWindowEnabled(main); }));

  ::PostMessageW(main, WM_CLOSE, 0, 0);
  EXPECT_TRUE(program.WaitForEnd());
}

}  // namespace
