// A write that fails on a real file system: a file-size limit makes the
// kernel refuse the bytes, as a full disk would.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include "common/text.h"
#include "tests/core/test_support.h"
#include "wav/render_time_signal.h"

namespace marvolen {
namespace {

TEST(RenderToFullDisk, AFailedWriteRemovesTheFileAndSaysSo) {
  testing_support::ScratchDir dir;
  const auto path = dir / "full.wav";
  SignalSettings s;
  s.SampleRate = 8000;
  s.SaveFileName = Utf8ToWide(path.string());

  // The limit is set in a child process so it cannot affect other tests.
  const pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);  // a refused write returns EFBIG instead
    rlimit limit{4096, 4096};
    setrlimit(RLIMIT_FSIZE, &limit);
    testing_support::RecordingReporter reporter;
    const RenderOutcome outcome = RenderTimeSignal(s, nullptr, reporter);
    const bool ok = outcome == RenderOutcome::WriteFailed && reporter.messages.size() == 1 &&
                    reporter.messages[0] == kWriteFailedMessage;
    _exit(ok ? 0 : 1);
  }
  int status = 0;
  ASSERT_EQ(waitpid(child, &status, 0), child);
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0);
  EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(RenderToFullDisk, ADeviceThatRefusesBytesIsReportedButNeverDeleted) {
  SignalSettings s;
  s.SampleRate = 8000;
  s.SaveFileName = L"/dev/full";
  testing_support::RecordingReporter reporter;
  EXPECT_EQ(RenderTimeSignal(s, nullptr, reporter), RenderOutcome::WriteFailed);
  ASSERT_EQ(reporter.messages.size(), 1u);
  EXPECT_EQ(reporter.messages[0], kWriteFailedMessage);
  EXPECT_TRUE(std::filesystem::exists("/dev/full"));
}

}  // namespace
}  // namespace marvolen
