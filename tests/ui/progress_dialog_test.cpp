// The progress dialog and its worker, driven through the window system: the
// main dialog's generate button runs CDlgProgress (the real one, or one with
// its test seams in use), and a script thread watches and presses buttons.
#include "ui/progress_dialog.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <windows.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>
#include <stdexcept>
#include <vector>

#include "dialogkit/dialog.h"
#include "dialogkit/handles.h"
#include "dialogkit/message_box.h"
#include "settings/ini_store.h"
#include "tests/ui/gui_driver.h"
#include "ui/marvolen_dlg.h"
#include "ui/res/resource.h"
#include "wav/render_time_signal.h"

namespace {

namespace fs = std::filesystem;
using marvolen::RenderOutcome;
using uitest::Driver;

constexpr wchar_t kProgressCaption[] = L"時報音声生成中";

std::vector<char> ReadAll(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void WriteAll(const fs::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// What the core alone writes for these settings.
std::vector<char> CoreBytes(marvolen::SignalSettings settings, const fs::path& scratch) {
  struct Silent : marvolen::ErrorReporter {
    void Report(const std::wstring&) override { ADD_FAILURE() << "the core reported an error"; }
  } silent;
  settings.SaveFileName = scratch.wstring();
  EXPECT_EQ(marvolen::RenderTimeSignal(settings, nullptr, silent), RenderOutcome::Completed);
  auto bytes = ReadAll(scratch);
  fs::remove(scratch);
  return bytes;
}

dialogkit::UniqueHandle ManualEvent() {
  return dialogkit::UniqueHandle(::CreateEventW(nullptr, TRUE, FALSE, nullptr));
}

// Forwards to the dialog and, right after the job has reported `holdAt`
// finished seconds (0: right after SetRange), stops the job until released.
class HoldingSink final : public marvolen::ProgressSink {
 public:
  HoldingSink(marvolen::ProgressSink& inner, int holdAt, HANDLE held, HANDLE release)
      : inner_(inner), holdAt_(holdAt), held_(held), release_(release) {}

  void SetRange(int lower, int upper) override {
    inner_.SetRange(lower, upper);
    seconds_ = 0;
    HoldIfDue();
  }
  void Advance() override {
    inner_.Advance();
    ++seconds_;
    HoldIfDue();
  }
  bool IsCancelRequested() override { return inner_.IsCancelRequested(); }

 private:
  void HoldIfDue() {
    if (seconds_ != holdAt_) return;
    ::SetEvent(held_);
    // Bounded, so a failed script cannot keep the worker, and the test, alive.
    ::WaitForSingleObject(release_, uitest::kWaitLimitMs);
  }

  marvolen::ProgressSink& inner_;
  int holdAt_;
  int seconds_ = 0;
  HANDLE held_;
  HANDLE release_;
};

// CDlgProgress with its test seams in use: the job can be held at a chosen
// second, made to throw, or the worker made to fail to start. It records the
// job's outcome and counts the cancel commands that reached the dialog.
class ObservedProgress : public CDlgProgress {
 public:
  using CDlgProgress::CDlgProgress;

  std::optional<int> holdAt;
  bool jobThrows = false;
  bool workerFails = false;
  bool workerLingers = false;  // the thread lives on after its finish post

  dialogkit::UniqueHandle held = ManualEvent();
  dialogkit::UniqueHandle release = ManualEvent();
  dialogkit::UniqueHandle posted = ManualEvent();
  dialogkit::UniqueHandle lingerEnd = ManualEvent();
  std::optional<RenderOutcome> outcome;  // written by the worker, read after DoModal
  std::atomic<int> jobRuns{0};
  std::atomic<int> cancelCommands{0};

 protected:
  RenderOutcome RunJob(const marvolen::SignalSettings& settings, marvolen::ProgressSink& sink,
                       marvolen::ErrorReporter& reporter) override {
    ++jobRuns;
    if (jobThrows) throw std::runtime_error("job failed");
    if (!holdAt) {
      outcome = CDlgProgress::RunJob(settings, sink, reporter);
    } else {
      HoldingSink holding(sink, *holdAt, held.get(), release.get());
      outcome = CDlgProgress::RunJob(settings, holding, reporter);
    }
    return *outcome;
  }
  std::unique_ptr<ThreadObject> BeginWorker() override {
    if (workerFails) return nullptr;
    if (workerLingers) return ThreadObject::BeginSuspended(&LingeringEntry, this);
    return CDlgProgress::BeginWorker();
  }
  bool OnCommand(int id, int code, HWND control) override {
    if (id == IDCANCEL) ++cancelCommands;
    return CDlgProgress::OnCommand(id, code, control);
  }

 private:
  // The real entry, then a wait: the finish message arrives while the
  // thread still runs.
  static unsigned __stdcall LingeringEntry(void* parameter) {
    const unsigned result = GenerationThreadProc(parameter);
    auto* self = static_cast<ObservedProgress*>(static_cast<CDlgProgress*>(parameter));
    ::SetEvent(self->posted.get());
    ::WaitForSingleObject(self->lingerEnd.get(), uitest::kWaitLimitMs);
    return result;
  }
};

// The main dialog with its generation observed: by default its own
// RunGeneration runs; with makeProgress set, the progress dialog that
// function builds runs instead, and what DoModal returned is kept.
class MainDialog : public CMarvolenDlg {
 public:
  explicit MainDialog(marvolen::ProfileStore& store) : CMarvolenDlg(store) {}

  std::function<std::unique_ptr<CDlgProgress>(MainDialog&)> makeProgress;
  std::unique_ptr<CDlgProgress> lastProgress;  // kept, so the test can read it afterwards
  std::vector<INT_PTR> results;
  int32_t finishedSteps = -1;
  std::atomic<int> runs{0};  // watched by the script thread

 protected:
  void RunGeneration() override {
    if (makeProgress) {
      lastProgress = makeProgress(*this);
      results.push_back(lastProgress->DoModal());
      finishedSteps = lastProgress->finishedSteps();
    } else {
      CMarvolenDlg::RunGeneration();
    }
    ++runs;
  }
};

// The main dialog's lock as the user sees it: the locked controls, the
// window menu's Close item and the no-close class style.
struct Lock {
  bool controlsEnabled = false;
  bool closeItemEnabled = false;
  bool closeBoxAllowed = false;
};

Lock ReadLock(HWND main) {
  Lock lock;
  lock.controlsEnabled = true;
  for (const int* id = kLockedControlIds; *id != -1; ++id) {
    lock.controlsEnabled = lock.controlsEnabled && uitest::IsEnabled(main, *id);
  }
  const UINT state = ::GetMenuState(::GetSystemMenu(main, FALSE), SC_CLOSE, MF_BYCOMMAND);
  lock.closeItemEnabled = state != static_cast<UINT>(-1) && !(state & (MF_GRAYED | MF_DISABLED));
  lock.closeBoxAllowed = !(::GetClassLongPtrW(main, GCL_STYLE) & CS_NOCLOSE);
  return lock;
}

struct Bar {
  int pos = -1;
  int low = -1;
  int high = -1;
};

Bar ReadBar(HWND progress) {
  const HWND bar = ::GetDlgItem(progress, IDC_PROGRESS);
  PBRANGE range{};
  ::SendMessageW(bar, PBM_GETRANGE, FALSE, reinterpret_cast<LPARAM>(&range));
  return {static_cast<int>(::SendMessageW(bar, PBM_GETPOS, 0, 0)), range.iLow, range.iHigh};
}

class ProgressDialogTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_PROGRESS_CLASS};
    ::InitCommonControlsEx(&controls);
  }

  void SetUp() override {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = fs::temp_directory_path() / L"marvolen-progress-test" / info->name();
    fs::remove_all(dir_);
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }

  fs::path target() const { return dir_ / L"時報.wav"; }
  fs::path scratch() const { return dir_ / L"core.wav"; }

  // Opens the main dialog, generates into target() at 44100 Hz and runs
  // `script` with the progress dialog's window (null when the run was over
  // before it could be seen) while the main dialog is locked. Then waits
  // until the progress dialog has closed by itself, reads the main dialog's
  // lock and closes it.
  void Generate(const std::function<void(HWND progress)>& script) {
    uitest::RunModal(main_, [&](const Driver& driver) {
      const HWND main = driver.WaitForDialog(L"Marvolen");
      ASSERT_NE(main, nullptr);
      uitest::SetItemText(main, IDC_FILE_NAME, target().wstring());
      uitest::Click(main, IDC_GENERATE);
      HWND progress = nullptr;
      uitest::WaitUntil([&] {
        progress = ::FindWindowW(L"#32770", kProgressCaption);
        // A box during initialisation keeps the dialog hidden.
        return (progress && ::IsWindowVisible(progress)) || main_.runs > 0 ||
               !process_.NoMessageBox();
      });
      if (main_.runs == 0) locked_ = ReadLock(main);
      script(progress);
      EXPECT_TRUE(uitest::WaitUntil([&] { return main_.runs > 0; }))
          << "the progress dialog did not close by itself";
      // The unlock runs once the progress dialog has returned; wait for all of it.
      uitest::WaitUntil([&] {
        unlocked_ = ReadLock(main);
        return unlocked_.controlsEnabled && unlocked_.closeItemEnabled && unlocked_.closeBoxAllowed;
      });
      ::PostMessageW(main, WM_COMMAND, IDCANCEL, 0);
    });
  }

  // Every run ends with the main dialog unlocked again.
  // While the run is held, the main dialog is locked.
  void ExpectLockedDuringTheRun() const {
    ASSERT_TRUE(locked_.has_value());
    EXPECT_FALSE(locked_->controlsEnabled);
    EXPECT_FALSE(locked_->closeItemEnabled);
    EXPECT_FALSE(locked_->closeBoxAllowed);
  }
  void ExpectUnlocked() const {
    EXPECT_TRUE(unlocked_.controlsEnabled);
    EXPECT_TRUE(unlocked_.closeItemEnabled);
    EXPECT_TRUE(unlocked_.closeBoxAllowed);
  }

  fs::path dir_;
  // Rate-list entry 3: 44100 Hz; every other key at its default.
  marvolen::MemoryIniStore store_{"[Setting_Data]\r\nComboFreqListCurSel=3\r\n"};
  MainDialog main_{store_};
  std::optional<Lock> locked_;
  Lock unlocked_;
  Driver process_{uitest::WindowScope{::GetCurrentProcessId(), 0}};
};

TEST_F(ProgressDialogTest, GenerateWritesWhatTheCoreWritesAndTheDialogClosesByItself) {
  bool progressShown = false;
  Generate([&](HWND progress) { progressShown = progress != nullptr; });
  EXPECT_TRUE(progressShown) << "the generation ran without the progress dialog";
  EXPECT_TRUE(process_.NoMessageBox());
  ExpectUnlocked();
  const auto written = ReadAll(target());
  EXPECT_EQ(written.size(), 1058444u);
  EXPECT_TRUE(written == CoreBytes(main_.settings(), scratch()));
}

// A run held after a given number of seconds, then cancelled or let go.
struct HoldCase {
  const char* name;
  int holdAt;
  bool cancel;
  bool fileBefore;  // an older file of that name exists before the run
  RenderOutcome expected;
};

class HeldRunTest : public ProgressDialogTest, public ::testing::WithParamInterface<HoldCase> {};

TEST_P(HeldRunTest, BarShowsTheFinishedSecondsAndCancelDeletesTheFile) {
  const HoldCase& c = GetParam();
  if (c.fileBefore) WriteAll(target(), "an older file");
  ObservedProgress* observed = nullptr;
  main_.makeProgress = [&](MainDialog& owner) {
    auto dialog = std::make_unique<ObservedProgress>(&owner);
    dialog->holdAt = c.holdAt;
    observed = dialog.get();
    return dialog;
  };
  Bar whileHeld;
  bool openWhileHeld = false;
  bool progressNoClose = false;
  Generate([&](HWND progress) {
    ASSERT_NE(progress, nullptr);
    ASSERT_EQ(::WaitForSingleObject(observed->held.get(), uitest::kWaitLimitMs), WAIT_OBJECT_0);
    whileHeld = ReadBar(progress);
    progressNoClose = (::GetClassLongPtrW(progress, GCL_STYLE) & CS_NOCLOSE) != 0;
    if (c.cancel) {
      uitest::Click(progress, IDCANCEL);
      uitest::WaitUntil([&] { return observed->IsCancelRequested(); });
    }
    openWhileHeld = ::IsWindowVisible(progress) != FALSE;
    ::SetEvent(observed->release.get());
  });

  EXPECT_EQ(whileHeld.pos, c.holdAt);
  EXPECT_EQ(whileHeld.low, 0);
  EXPECT_EQ(whileHeld.high, 6);
  EXPECT_TRUE(openWhileHeld) << "a cancel must not close the dialog";
  EXPECT_TRUE(progressNoClose) << "the progress dialog's close box must be disabled";
  ExpectLockedDuringTheRun();
  ExpectUnlocked();
  EXPECT_EQ(main_.results, std::vector<INT_PTR>{IDOK});
  ASSERT_TRUE(observed->outcome.has_value());
  EXPECT_EQ(*observed->outcome, c.expected);
  EXPECT_TRUE(process_.NoMessageBox());
  if (c.expected == RenderOutcome::Cancelled) {
    EXPECT_EQ(main_.finishedSteps, c.holdAt) << "no second may follow the cancel";
    EXPECT_FALSE(fs::exists(target()));
  } else {
    EXPECT_EQ(main_.finishedSteps, 6);
    EXPECT_TRUE(ReadAll(target()) == CoreBytes(main_.settings(), scratch()));
  }
}

INSTANTIATE_TEST_SUITE_P(
    Holds, HeldRunTest,
    ::testing::Values(
        HoldCase{"CancelBeforeTheFirstSecond", 0, true, false, RenderOutcome::Cancelled},
        HoldCase{"CancelAfterThreeSecondsOverAnOlderFile", 3, true, true, RenderOutcome::Cancelled},
        HoldCase{"CancelAfterFiveSeconds", 5, true, false, RenderOutcome::Cancelled},
        // After the sixth second nothing polls any more: the file is kept.
        HoldCase{"CancelAfterTheLastSecondIsTooLate", 6, true, true, RenderOutcome::Completed},
        HoldCase{"FullBarAtSixOfSix", 6, false, false, RenderOutcome::Completed}),
    [](const ::testing::TestParamInfo<HoldCase>& info) { return std::string(info.param.name); });

TEST_F(ProgressDialogTest, OkDoesNothingAndEveryWayOfCancellingActsAsOne) {
  ObservedProgress* observed = nullptr;
  main_.makeProgress = [&](MainDialog& owner) {
    auto dialog = std::make_unique<ObservedProgress>(&owner);
    dialog->holdAt = 2;
    observed = dialog.get();
    return dialog;
  };
  bool openAfterAll = false;
  Generate([&](HWND progress) {
    ASSERT_NE(progress, nullptr);
    ASSERT_EQ(::WaitForSingleObject(observed->held.get(), uitest::kWaitLimitMs), WAIT_OBJECT_0);
    // Posted in this order, so once the last cancel has arrived the OK
    // command has been handled too.
    ::PostMessageW(progress, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED), 0);
    for (int i = 0; i < 3; ++i) uitest::Click(progress, IDCANCEL);
    ::PostMessageW(::GetDlgItem(progress, IDCANCEL), WM_KEYDOWN, VK_ESCAPE, 0);
    ::PostMessageW(progress, WM_CLOSE, 0, 0);
    EXPECT_TRUE(uitest::WaitUntil([&] { return observed->cancelCommands == 5; }))
        << observed->cancelCommands.load() << " cancel commands arrived";
    openAfterAll = ::IsWindowVisible(progress) != FALSE;
    ::SetEvent(observed->release.get());
  });
  EXPECT_TRUE(openAfterAll);
  ExpectUnlocked();
  EXPECT_EQ(main_.results, std::vector<INT_PTR>{IDOK});
  EXPECT_EQ(observed->jobRuns.load(), 1);
  EXPECT_EQ(observed->outcome, RenderOutcome::Cancelled);
  EXPECT_EQ(main_.finishedSteps, 2);
  EXPECT_FALSE(fs::exists(target()));
}

TEST_F(ProgressDialogTest, FileHeldOpenElsewhereIsReportedOverAnEmptyBar) {
  WriteAll(target(), "held by someone else");
  const dialogkit::UniqueHandle holder(::CreateFileW(target().c_str(), GENERIC_READ,
                                                     FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                                     FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(holder);
  main_.makeProgress = [](MainDialog& owner) { return std::make_unique<CDlgProgress>(&owner); };
  std::optional<uitest::MessageBoxInfo> box;
  HWND boxOwner = nullptr;
  HWND ownerWindow = nullptr;
  Bar underTheBox;
  bool progressOpen = false;
  Generate([&](HWND progress) {
    ASSERT_NE(progress, nullptr);
    ownerWindow = ::GetWindow(progress, GW_OWNER);
    box = process_.WaitForMessageBox();
    ASSERT_TRUE(box.has_value());
    boxOwner = ::GetWindow(box->hwnd, GW_OWNER);
    underTheBox = ReadBar(progress);
    progressOpen = ::IsWindowVisible(progress) != FALSE;
    process_.CloseMessageBox(box->hwnd);
  });
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, L"保存するファイルが開いています。\nファイルを閉じてください。");
  EXPECT_EQ(box->caption, L"Marvolen");
  EXPECT_EQ(box->icon, static_cast<UINT>(MB_ICONINFORMATION));
  EXPECT_EQ(boxOwner, ownerWindow) << "the box belongs to the owner's window";
  EXPECT_TRUE(progressOpen);
  EXPECT_EQ(underTheBox.pos, 0);
  ExpectLockedDuringTheRun();
  ExpectUnlocked();
  EXPECT_EQ(main_.results, std::vector<INT_PTR>{IDOK});
  EXPECT_EQ(main_.finishedSteps, 0);
  const auto kept = ReadAll(target());
  EXPECT_EQ(std::string(kept.begin(), kept.end()), "held by someone else");
}

ULONGLONG CpuTime100ns(HANDLE thread) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!::GetThreadTimes(thread, &created, &exited, &kernel, &user)) return 0;
  const auto value = [](const FILETIME& t) {
    return (static_cast<ULONGLONG>(t.dwHighDateTime) << 32) | t.dwLowDateTime;
  };
  return value(kernel) + value(user);
}

TEST_F(ProgressDialogTest, StaysOpenAndServesMessagesUntilTheWorkerHasEnded) {
  const dialogkit::UniqueHandle uiThread(
      ::OpenThread(THREAD_QUERY_LIMITED_INFORMATION, FALSE, ::GetCurrentThreadId()));
  ASSERT_TRUE(uiThread);
  ObservedProgress* observed = nullptr;
  main_.makeProgress = [&](MainDialog& owner) {
    auto dialog = std::make_unique<ObservedProgress>(&owner);
    dialog->workerLingers = true;
    observed = dialog.get();
    return dialog;
  };
  bool answered = false;
  bool openWhileThreadRuns = false;
  ULONGLONG cpuWhileWaiting = 0;
  Generate([&](HWND progress) {
    ASSERT_EQ(::WaitForSingleObject(observed->posted.get(), uitest::kWaitLimitMs), WAIT_OBJECT_0);
    // A blocked user-interface thread would not answer; a spinning one would
    // burn its core while the thread lingers.
    const ULONGLONG before = CpuTime100ns(uiThread.get());
    ::Sleep(300);
    cpuWhileWaiting = CpuTime100ns(uiThread.get()) - before;
    wchar_t caption[32] = {};
    DWORD_PTR copied = 0;
    answered = ::SendMessageTimeoutW(progress, WM_GETTEXT, 32, reinterpret_cast<LPARAM>(caption),
                                     SMTO_NORMAL, 5000, &copied) != 0;
    openWhileThreadRuns = ::IsWindowVisible(progress) != FALSE && main_.runs == 0;
    ::SetEvent(observed->lingerEnd.get());
  });
  EXPECT_TRUE(answered);
  EXPECT_TRUE(openWhileThreadRuns) << "the dialog ended before its worker thread";
  EXPECT_LT(cpuWhileWaiting, 1000000u) << "more than 100 ms of CPU in 300 ms of waiting";
  EXPECT_EQ(main_.results, std::vector<INT_PTR>{IDOK});
  EXPECT_EQ(observed->outcome, RenderOutcome::Completed);
}

// Failures outside the job's own: each is shown, and the dialog still ends.
struct FailureCase {
  const char* name;
  bool workerFails;
  bool jobThrows;
  const wchar_t* text;
  int jobRuns;
};

class FailureTest : public ProgressDialogTest, public ::testing::WithParamInterface<FailureCase> {};

TEST_P(FailureTest, IsShownAndTheDialogEnds) {
  const FailureCase& c = GetParam();
  ObservedProgress* observed = nullptr;
  main_.makeProgress = [&](MainDialog& owner) {
    auto dialog = std::make_unique<ObservedProgress>(&owner);
    dialog->workerFails = c.workerFails;
    dialog->jobThrows = c.jobThrows;
    observed = dialog.get();
    return dialog;
  };
  std::optional<uitest::MessageBoxInfo> box;
  Generate([&](HWND) { box = process_.ExpectMessageBox(); });
  ASSERT_TRUE(box.has_value());
  EXPECT_EQ(box->text, c.text);
  EXPECT_EQ(box->caption, L"Marvolen");
  EXPECT_EQ(box->icon, static_cast<UINT>(MB_ICONINFORMATION));
  EXPECT_EQ(main_.results, std::vector<INT_PTR>{IDOK});
  EXPECT_EQ(observed->jobRuns.load(), c.jobRuns);
  EXPECT_FALSE(fs::exists(target()));
  ExpectUnlocked();
}

INSTANTIATE_TEST_SUITE_P(
    Failures, FailureTest,
    ::testing::Values(FailureCase{"WorkerCannotStart", true, false,
                                  L"作業スレッドの起動に失敗しました。時報生成を中止します。", 0},
                      FailureCase{"JobThrows", false, true, dialogkit::kInternalErrorMessage, 1}),
    [](const ::testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

}  // namespace
