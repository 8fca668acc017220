// The rendering job: file image, progress, cancel and every failure path.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "common/text.h"
#include "synthesis/tone_generators.h"
#include "tests/core/test_support.h"
#include "wav/render_time_signal.h"
#include "wav/wav_header.h"

namespace marvolen {
namespace {

using testing_support::MemoryEnvironment;
using testing_support::ReadFileBytes;
using testing_support::RecordingReporter;
using testing_support::RecordingSink;
using testing_support::RenderToMemory;
using testing_support::ScratchDir;
using testing_support::WriteBytes;

SignalSettings Make(int32_t rate, int32_t bitSize, int32_t monaural,
                    int32_t station = kStationNhk) {
  SignalSettings s;
  s.SampleRate = rate;
  s.BitSize = bitSize;
  s.Monaural = monaural;
  s.SelectHousoukyoku = station;
  return s;
}

std::wstring PathText(const std::filesystem::path& p) { return testing_support::WidePath(p); }

// File sizes by rate, for 8-bit mono, 8 stereo, 16 mono, 16 stereo, 24 mono, 24 stereo.
struct SizeRow {
  int32_t rate;
  size_t sizes[6];
};
constexpr SizeRow kFileSizes[] = {
    {8000, {48044, 96044, 96044, 192044, 144044, 288044}},
    {9600, {57644, 115244, 115244, 230444, 172844, 345644}},
    {22050, {132344, 264644, 264644, 529244, 396944, 793844}},
    {44100, {264644, 529244, 529244, 1058444, 793844, 1587644}},
    {48000, {288044, 576044, 576044, 1152044, 864044, 1728044}},
    {96000, {576044, 1152044, 1152044, 2304044, 1728044, 3456044}},
};

TEST(RenderTimeSignal, FileSizeTableAndHeaderAgree) {
  for (const auto& row : kFileSizes) {
    for (int column = 0; column < 6; ++column) {
      const SignalSettings s = Make(row.rate, column / 2, column % 2);
      const std::vector<uint8_t> image = RenderToMemory(s);
      EXPECT_EQ(image.size(), row.sizes[column]) << row.rate << " column " << column;
      const auto header = SerializeWavHeader(BuildWavHeader(s));
      ASSERT_GE(image.size(), header.size());
      EXPECT_TRUE(std::equal(header.begin(), header.end(), image.begin()));
    }
  }
}

// Reads back the sample at `frame`, channel `channel`, sign-extended for 16/24 bit.
int32_t SampleAt(const std::vector<uint8_t>& image, const SignalSettings& s, int32_t frame,
                 int32_t channel) {
  const int32_t bytes = BytesPerSample(s);
  const size_t at = kWavHeaderSize + static_cast<size_t>(frame) * bytes * ChannelCount(s) +
                    static_cast<size_t>(channel) * bytes;
  uint32_t v = 0;
  for (int32_t i = 0; i < bytes; ++i) v |= static_cast<uint32_t>(image[at + i]) << (8 * i);
  if (bytes == 1) return static_cast<int32_t>(v);
  const uint32_t sign = 1u << (8 * bytes - 1);
  return static_cast<int32_t>((v ^ sign) - sign);
}

TEST(RenderTimeSignal, EveryFrameHoldsItsSampleInEveryChannel) {
  for (int32_t station : {kStationNhk, kStationNippon}) {
    for (int32_t w : {kBitSize8, kBitSize16, kBitSize24}) {
      for (int32_t mono : {kMono, kStereo}) {
        SignalSettings s = Make(22050, w, mono, station);
        const auto image = RenderToMemory(s);
        const int32_t b = PipUnit(s);
        for (int32_t frame = 0; frame < 6 * s.SampleRate; ++frame) {
          const int32_t second = frame / s.SampleRate;
          const int32_t a = frame % s.SampleRate;
          const int32_t expected = second < 3
                                       ? (station == kStationNhk ? NoticeSampleNhk(w, s, a, b)
                                                                 : NoticeSampleNippon(w, s, a, b))
                                       : MainSignalSample(w, s, frame - 3 * s.SampleRate);
          for (int32_t c = 0; c < ChannelCount(s); ++c) {
            ASSERT_EQ(SampleAt(image, s, frame, c), expected)
                << "w " << w << " mono " << mono << " station " << station << " frame " << frame;
          }
        }
      }
    }
  }
}

TEST(RenderTimeSignal, PackingIsLittleEndianTwosComplement) {
  // Find frames with the example values and look at their raw bytes.
  struct Case {
    int32_t w, mono, value;
    std::vector<uint8_t> bytes;
  };
  const Case cases[] = {
      {kBitSize16, kMono, -2, {0xFE, 0xFF}},
      {kBitSize24, kMono, -2, {0xFE, 0xFF, 0xFF}},
      {kBitSize8, kMono, 129, {0x81}},
      {kBitSize16, kStereo, 1, {0x01, 0x00, 0x01, 0x00}},
  };
  for (const Case& c : cases) {
    // Slow tones pass through the small values near zero; try a few.
    bool found = false;
    for (int32_t freq : {5, 7, 11, 13, 17, 440, 880}) {
      SignalSettings s = Make(8000, c.w, c.mono);
      s.MainSignalSoundFreq = freq;
      for (int32_t a = 0; a < 3 * s.SampleRate && !found; ++a) {
        if (MainSignalSample(c.w, s, a) != c.value) continue;
        const auto image = RenderToMemory(s);
        const size_t at =
            kWavHeaderSize + static_cast<size_t>(3 * s.SampleRate + a) * c.bytes.size();
        EXPECT_TRUE(std::equal(c.bytes.begin(), c.bytes.end(), image.begin() + at)) << c.value;
        found = true;
      }
      if (found) break;
    }
    EXPECT_TRUE(found) << "no frame with value " << c.value;
  }
}

TEST(RenderTimeSignal, NoticeSecondsAreIdentical) {
  for (int32_t station : {kStationNhk, kStationNippon}) {
    const SignalSettings s = Make(9600, kBitSize24, kStereo, station);
    const auto image = RenderToMemory(s);
    const size_t second = static_cast<size_t>(s.SampleRate) * 6;
    const auto first = image.begin() + kWavHeaderSize;
    EXPECT_TRUE(std::equal(first, first + second, first + second));
    EXPECT_TRUE(std::equal(first, first + second, first + 2 * second));
  }
}

// 64-bit FNV-1a: enough to tell one file image from another.
uint64_t Fingerprint(const std::vector<uint8_t>& bytes) {
  uint64_t h = 0xcbf29ce484222325ull;
  for (uint8_t b : bytes) {
    h ^= b;
    h *= 0x100000001b3ull;
  }
  return h;
}

// Fingerprints of the files the native build writes. The Windows build runs
// this same test under Wine, so both must write these exact bytes.
struct Golden {
  int32_t rate, w, mono, station, freq1, freq2, mainFreq;
  uint64_t fingerprint;
};
#include "tests/core/golden_fingerprints.inc"

TEST(RenderTimeSignal, FilesMatchTheGoldenFingerprints) {
  for (const Golden& g : kGoldenFingerprints) {
    SignalSettings s = Make(g.rate, g.w, g.mono, g.station);
    s.NoticeSoundFreq1 = g.freq1;
    s.NoticeSoundFreq2 = g.freq2;
    s.MainSignalSoundFreq = g.mainFreq;
    EXPECT_EQ(Fingerprint(RenderToMemory(s)), g.fingerprint)
        << g.rate << " w " << g.w << " mono " << g.mono << " station " << g.station << " "
        << g.freq1 << "/" << g.freq2 << "/" << g.mainFreq;
  }
}

TEST(RenderTimeSignal, ProgressIsSetOnceAndAdvancedAfterEachSecondsLastPoll) {
  const SignalSettings s = Make(8000, kBitSize16, kStereo);
  MemoryEnvironment env;
  RecordingSink sink;
  RecordingReporter reporter;
  EXPECT_EQ(RenderTimeSignal(s, &sink, reporter, env), RenderOutcome::Completed);
  const std::vector<std::string> expected = {"SetRange(0,6)@0", "Advance@8000",  "Advance@16000",
                                             "Advance@24000",   "Advance@32000", "Advance@40000",
                                             "Advance@48000"};
  EXPECT_EQ(sink.calls, expected);
  EXPECT_EQ(sink.polls, 48000);
  EXPECT_TRUE(reporter.messages.empty());
}

TEST(RenderTimeSignal, WithoutSinkTheJobStillCompletes) {
  MemoryEnvironment env;
  RecordingReporter reporter;
  EXPECT_EQ(RenderTimeSignal(Make(8000, kBitSize8, kMono), nullptr, reporter, env),
            RenderOutcome::Completed);
  EXPECT_EQ(env.written.size(), 48044u);
}

// Poll number at which the cancel is asked for, and the steps finished by then.
struct CancelCase {
  int64_t poll;
  RenderOutcome outcome;
  int steps;
};

TEST(RenderTimeSignal, CancelIsSeenAtTheNextPollIncludingTheLast) {
  const CancelCase cases[] = {
      {1, RenderOutcome::Cancelled, 0},
      {8000, RenderOutcome::Cancelled, 0},  // last frame of second 0: before its Advance
      {8001, RenderOutcome::Cancelled, 1},
      {47999, RenderOutcome::Cancelled, 5},
      {48000, RenderOutcome::Cancelled, 5},  // the very last frame
      {48001, RenderOutcome::Completed, 6},  // after the last poll: no effect
  };
  for (const CancelCase& c : cases) {
    MemoryEnvironment env;
    RecordingSink sink(c.poll);
    RecordingReporter reporter;
    EXPECT_EQ(RenderTimeSignal(Make(8000, kBitSize16, kStereo), &sink, reporter, env), c.outcome)
        << c.poll;
    EXPECT_EQ(sink.steps, c.steps) << c.poll;
    EXPECT_EQ(env.discarded, c.outcome == RenderOutcome::Cancelled) << c.poll;
    EXPECT_TRUE(reporter.messages.empty()) << c.poll;
  }
}

TEST(RenderTimeSignal, FailuresReportOnceAndLeaveTheDocumentedState) {
  struct Case {
    const char* name;
    void (*arm)(MemoryEnvironment&);
    RenderOutcome outcome;
    const wchar_t* message;
    bool opened, discarded, progressShown;
  };
  const Case cases[] = {
      {"open", [](MemoryEnvironment& e) { e.failOpen = true; }, RenderOutcome::OpenFailed,
       kOpenFailedMessage, false, false, false},
      {"allocation", [](MemoryEnvironment& e) { e.failAllocation = true; },
       RenderOutcome::AllocationFailed, kAllocationFailedMessage, true, false, false},
      {"write", [](MemoryEnvironment& e) { e.failWrite = true; }, RenderOutcome::WriteFailed,
       kWriteFailedMessage, true, true, true},
      {"close", [](MemoryEnvironment& e) { e.failClose = true; }, RenderOutcome::WriteFailed,
       kWriteFailedMessage, true, true, true},
  };
  for (const Case& c : cases) {
    MemoryEnvironment env;
    c.arm(env);
    RecordingSink sink;
    RecordingReporter reporter;
    EXPECT_EQ(RenderTimeSignal(Make(8000, kBitSize16, kStereo), &sink, reporter, env), c.outcome)
        << c.name;
    ASSERT_EQ(reporter.messages.size(), 1u) << c.name;
    EXPECT_EQ(reporter.messages[0], c.message) << c.name;
    EXPECT_EQ(env.opened, c.opened) << c.name;
    EXPECT_EQ(env.discarded, c.discarded) << c.name;
    EXPECT_EQ(!sink.calls.empty(), c.progressShown) << c.name;
  }
}

TEST(RenderTimeSignal, SettingsOutsideTheAcceptedValuesAreRefusedBeforeAnyFile) {
  struct Case {
    void (*spoil)(SignalSettings&);
    const wchar_t* message;
  };
  const Case cases[] = {
      {[](SignalSettings& s) { s.SampleRate = 11025; },
       L"設定値 SampleRate=11025 は使用できません。時報生成を中止します。"},
      {[](SignalSettings& s) { s.SampleRate = 0; },
       L"設定値 SampleRate=0 は使用できません。時報生成を中止します。"},
      {[](SignalSettings& s) { s.BitSize = 3; },
       L"設定値 BitSize=3 は使用できません。時報生成を中止します。"},
      {[](SignalSettings& s) { s.BitSize = -1; },
       L"設定値 BitSize=-1 は使用できません。時報生成を中止します。"},
      {[](SignalSettings& s) { s.Monaural = 2; },
       L"設定値 Monaural=2 は使用できません。時報生成を中止します。"},
      {[](SignalSettings& s) { s.SelectHousoukyoku = 7; },
       L"設定値 SelectHousoukyoku=7 は使用できません。時報生成を中止します。"},
      {[](SignalSettings& s) { s.NoticeSoundFreq1 = 4; },
       L"設定値 NoticeSoundFreq1=4 は使用できません。時報生成を中止します。"},
      {[](SignalSettings& s) { s.NoticeSoundFreq2 = 20001; },
       L"設定値 NoticeSoundFreq2=20001 は使用できません。時報生成を中止します。"},
      {[](SignalSettings& s) { s.MainSignalSoundFreq = -880; },
       L"設定値 MainSignalSoundFreq=-880 は使用できません。時報生成を中止します。"},
  };
  for (const Case& c : cases) {
    SignalSettings s = Make(8000, kBitSize16, kStereo);
    c.spoil(s);
    MemoryEnvironment env;
    RecordingSink sink;
    RecordingReporter reporter;
    EXPECT_EQ(RenderTimeSignal(s, &sink, reporter, env), RenderOutcome::Refused);
    EXPECT_FALSE(env.opened);
    EXPECT_TRUE(sink.calls.empty());
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0], c.message);
  }
}

// The same job against the real file system of the platform.
class RenderToDisk : public ::testing::Test {
 protected:
  SignalSettings SettingsFor(const std::string& name) {
    SignalSettings s = Make(8000, kBitSize16, kMono);
    s.SaveFileName = PathText(dir_ / name);
    return s;
  }
  ScratchDir dir_;
  RecordingReporter reporter_;
};

TEST_F(RenderToDisk, WritesTheSameBytesAsTheMemoryImage) {
  const SignalSettings s = SettingsFor("out.wav");
  RecordingSink sink;
  EXPECT_EQ(RenderTimeSignal(s, &sink, reporter_), RenderOutcome::Completed);
  EXPECT_EQ(ReadFileBytes(dir_ / "out.wav"), RenderToMemory(s));
}

TEST_F(RenderToDisk, OverwritesALongerFileCompletely) {
  WriteBytes(dir_ / "out.wav", std::string(300000, 'x'));
  const SignalSettings s = SettingsFor("out.wav");
  EXPECT_EQ(RenderTimeSignal(s, nullptr, reporter_), RenderOutcome::Completed);
  EXPECT_EQ(ReadFileBytes(dir_ / "out.wav").size(), 96044u);
}

TEST_F(RenderToDisk, CancelLeavesNoFileAlsoWhenOneExistedBefore) {
  for (bool existed : {false, true}) {
    if (existed) WriteBytes(dir_ / "out.wav", "old contents");
    RecordingSink sink(12345);
    EXPECT_EQ(RenderTimeSignal(SettingsFor("out.wav"), &sink, reporter_), RenderOutcome::Cancelled);
    EXPECT_FALSE(std::filesystem::exists(dir_ / "out.wav")) << existed;
    EXPECT_EQ(sink.steps, 1);
  }
  EXPECT_TRUE(reporter_.messages.empty());
}

TEST_F(RenderToDisk, UnopenableNamesGiveTheOpenMessageAndTouchNothing) {
  std::filesystem::create_directories(dir_ / "folder");
  for (const std::wstring& name :
       {std::wstring(), PathText(dir_ / "folder"), PathText(dir_ / "missing" / "out.wav")}) {
    SignalSettings s = SettingsFor("unused");
    s.SaveFileName = name;
    RecordingSink sink;
    RecordingReporter reporter;
    EXPECT_EQ(RenderTimeSignal(s, &sink, reporter), RenderOutcome::OpenFailed);
    EXPECT_TRUE(sink.calls.empty());
    ASSERT_EQ(reporter.messages.size(), 1u);
    EXPECT_EQ(reporter.messages[0], kOpenFailedMessage);
  }
  EXPECT_FALSE(std::filesystem::exists(dir_ / "missing"));
  EXPECT_TRUE(std::filesystem::is_directory(dir_ / "folder"));
}

// Holds the output file open as another program would, then checks the job.
TEST_F(RenderToDisk, AFileHeldByAnotherOpenerIsLeftUntouched) {
  WriteBytes(dir_ / "held.wav", "someone else's data");
  NativeRenderEnvironment other;
  {
    // A second exclusive opener stands in for the other program: it is refused
    // by the same rules that keep our file safe while the job runs.
    std::unique_ptr<OutputFile> holder = other.OpenExclusive(PathText(dir_ / "probe.wav"));
    ASSERT_TRUE(holder);
    EXPECT_FALSE(other.OpenExclusive(PathText(dir_ / "probe.wav")));
  }
  const auto holder = testing_support::HoldFileOpen(dir_ / "held.wav");
  RecordingSink sink;
  EXPECT_EQ(RenderTimeSignal(SettingsFor("held.wav"), &sink, reporter_), RenderOutcome::OpenFailed);
  EXPECT_TRUE(sink.calls.empty());
  ASSERT_EQ(reporter_.messages.size(), 1u);
  EXPECT_EQ(reporter_.messages[0], kOpenFailedMessage);
  const auto bytes = ReadFileBytes(dir_ / "held.wav");
  EXPECT_EQ(std::string(bytes.begin(), bytes.end()), "someone else's data");
}

// While the job runs, nobody else can open its output file.
class ProbingSink final : public ProgressSink {
 public:
  explicit ProbingSink(std::wstring path) : path_(std::move(path)) {}
  void SetRange(int, int) override {
    NativeRenderEnvironment other;
    blockedDuringRun = other.OpenExclusive(path_) == nullptr;
  }
  void Advance() override {}
  bool IsCancelRequested() override { return false; }
  bool blockedDuringRun = false;

 private:
  std::wstring path_;
};

TEST_F(RenderToDisk, TheOutputFileIsHeldExclusivelyDuringTheRun) {
  const SignalSettings s = SettingsFor("busy.wav");
  ProbingSink sink(s.SaveFileName);
  EXPECT_EQ(RenderTimeSignal(s, &sink, reporter_), RenderOutcome::Completed);
  EXPECT_TRUE(sink.blockedDuringRun);
  EXPECT_EQ(ReadFileBytes(dir_ / "busy.wav"), RenderToMemory(s));
}

}  // namespace
}  // namespace marvolen
