// Small fixtures of the core tests: recording sinks
// and an in-memory render environment.
#pragma once

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/scratch_dir.h"
#include "wav/render_time_signal.h"

namespace marvolen::testing_support {

std::vector<uint8_t> ReadFileBytes(const std::filesystem::path& path);

// Keeps `path` open the way another program would (read access, no write
// sharing; an exclusive lock where there are no share modes) until destroyed.
class FileHolder {
 public:
  virtual ~FileHolder() = default;
};
std::unique_ptr<FileHolder> HoldFileOpen(const std::filesystem::path& path);

// Records every call; asks for a cancel at poll number `cancelAtPoll` (1-based).
class RecordingSink final : public ProgressSink {
 public:
  explicit RecordingSink(int64_t cancelAtPoll = -1) : cancelAtPoll_(cancelAtPoll) {}
  void SetRange(int lower, int upper) override {
    calls.push_back("SetRange(" + std::to_string(lower) + "," + std::to_string(upper) + ")@" +
                    std::to_string(polls));
    steps = 0;
  }
  void Advance() override {
    ++steps;
    calls.push_back("Advance@" + std::to_string(polls));
  }
  bool IsCancelRequested() override { return ++polls >= cancelAtPoll_ && cancelAtPoll_ > 0; }

  std::vector<std::string> calls;
  int64_t polls = 0;
  int steps = 0;

 private:
  int64_t cancelAtPoll_;
};

class RecordingReporter final : public ErrorReporter {
 public:
  void Report(const std::wstring& text) override { messages.push_back(text); }
  std::vector<std::wstring> messages;
};

// Renders into memory; failures of open, allocation, write and close can be
// switched on.
class MemoryEnvironment final : public RenderEnvironment {
 public:
  bool failOpen = false;
  bool failAllocation = false;
  bool failWrite = false;
  bool failClose = false;

  std::vector<uint8_t> written;
  bool opened = false;
  bool closed = false;
  bool discarded = false;
  std::wstring openedPath;

  std::unique_ptr<OutputFile> OpenExclusive(const std::wstring& path) override;
  std::unique_ptr<uint8_t[]> Allocate(size_t size) override;
};

// The whole file image for `settings`, rendered in memory.
std::vector<uint8_t> RenderToMemory(const SignalSettings& settings);

}  // namespace marvolen::testing_support
