// The job on a worker thread, cancelled from another thread, as the program
// runs it. Built under ThreadSanitizer in CI.
#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "common/text.h"
#include "tests/core/test_support.h"
#include "wav/render_time_signal.h"

namespace marvolen {
namespace {

// The cancel request is a lone atomic flag, as in the progress dialog. After
// the first second the worker waits in Advance until the request has been
// made, as a worker waits for the user-interface thread to move the bar, so
// the request always arrives while frames are still being computed.
class CancellableSink final : public ProgressSink {
 public:
  void SetRange(int, int) override {}
  void Advance() override {
    std::unique_lock<std::mutex> lock(mutex_);
    ++steps_;
    changed_.notify_all();
    if (steps_ == 1) changed_.wait(lock, [&] { return released_; });
  }
  bool IsCancelRequested() override { return cancel_.load(std::memory_order_relaxed); }

  void RequestCancel() {
    cancel_.store(true, std::memory_order_relaxed);
    std::lock_guard<std::mutex> lock(mutex_);
    released_ = true;
    changed_.notify_all();
  }
  void WaitForSteps(int n) {
    std::unique_lock<std::mutex> lock(mutex_);
    changed_.wait(lock, [&] { return steps_ >= n; });
  }
  int steps() {
    std::lock_guard<std::mutex> lock(mutex_);
    return steps_;
  }

 private:
  std::atomic<bool> cancel_{false};
  std::mutex mutex_;
  std::condition_variable changed_;
  int steps_ = 0;
  bool released_ = false;
};

TEST(RenderOnWorkerThread, CancelFromAnotherThreadDeletesTheFile) {
  testing_support::ScratchDir dir;
  SignalSettings s;
  s.SampleRate = 96000;
  s.BitSize = kBitSize24;
  const auto path = dir / "worker.wav";
#ifdef _WIN32
  s.SaveFileName = path.wstring();
#else
  s.SaveFileName = Utf8ToWide(path.string());
#endif
  testing_support::WriteBytes(path, "existed before");

  CancellableSink sink;
  testing_support::RecordingReporter reporter;
  RenderOutcome outcome = RenderOutcome::Completed;
  std::thread worker([&] { outcome = RenderTimeSignal(s, &sink, reporter); });
  sink.WaitForSteps(1);
  sink.RequestCancel();
  sink.RequestCancel();  // pressing Cancel again changes nothing
  worker.join();

  EXPECT_EQ(outcome, RenderOutcome::Cancelled);
  EXPECT_FALSE(std::filesystem::exists(path));
  EXPECT_EQ(sink.steps(), 1);
  EXPECT_TRUE(reporter.messages.empty());
}

}  // namespace
}  // namespace marvolen
