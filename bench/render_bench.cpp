// How close the rendering job comes to the cost of its sines alone.
// The largest file (96000 Hz, 24-bit, stereo: 576,000 frames) is rendered in
// memory and compared with bare loops over the same phases.
#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <new>
#include <vector>

#include "synthesis/exact_sine.h"
#include "synthesis/signal_settings.h"
#include "wav/render_time_signal.h"

namespace {

using namespace marvolen;

SignalSettings Largest() {
  SignalSettings s;
  s.SampleRate = 96000;
  s.BitSize = kBitSize24;
  s.Monaural = kStereo;
  return s;
}

// Keeps the image in memory: the benchmark measures the job, not the disk.
class DiscardingEnvironment final : public RenderEnvironment {
  class Sink final : public OutputFile {
   public:
    bool WriteAll(const uint8_t* data, size_t size) override {
      benchmark::DoNotOptimize(data[size - 1]);
      return true;
    }
    bool Close() override { return true; }
    void Discard() override {}
  };

 public:
  std::unique_ptr<OutputFile> OpenExclusive(const std::wstring&) override {
    return std::make_unique<Sink>();
  }
  std::unique_ptr<uint8_t[]> Allocate(size_t size) override {
    return std::unique_ptr<uint8_t[]>(new (std::nothrow) uint8_t[size]);
  }
};

class NeverCancel final : public ProgressSink {
 public:
  void SetRange(int, int) override {}
  void Advance() override {}
  bool IsCancelRequested() override { return false; }
};

class Silent final : public ErrorReporter {
 public:
  void Report(const std::wstring&) override {}
};

void BM_RenderTimeSignal(benchmark::State& state) {
  const SignalSettings s = Largest();
  DiscardingEnvironment env;
  NeverCancel sink;
  Silent reporter;
  for (auto _ : state) {
    benchmark::DoNotOptimize(RenderTimeSignal(s, &sink, reporter, env));
  }
}
BENCHMARK(BM_RenderTimeSignal)->Unit(benchmark::kMillisecond);

// The phases the job computes: three notice seconds and three main seconds.
std::vector<double> Phases() {
  const SignalSettings s = Largest();
  std::vector<double> phases;
  phases.reserve(6 * s.SampleRate);
  for (int second = 0; second < 6; ++second) {
    const int32_t f = second < 3 ? s.NoticeSoundFreq1 : s.MainSignalSoundFreq;
    for (int32_t a = 0; a < s.SampleRate; ++a) {
      const int32_t frame = second < 3 ? a : (second - 3) * s.SampleRate + a;
      phases.push_back((frame * 6.283185307179586) / (static_cast<double>(s.SampleRate) / f));
    }
  }
  return phases;
}

template <double (*Sine)(double)>
void BareLoop(benchmark::State& state) {
  const std::vector<double> phases = Phases();
  std::vector<double> out(phases.size());
  for (auto _ : state) {
    for (size_t i = 0; i < phases.size(); ++i) out[i] = Sine(phases[i]);
    benchmark::ClobberMemory();
  }
}

double LibrarySine(double x) { return std::sin(x); }

void BM_BareLoopLibrarySine(benchmark::State& state) { BareLoop<LibrarySine>(state); }
void BM_BareLoopExactSine(benchmark::State& state) { BareLoop<ExactSine>(state); }
BENCHMARK(BM_BareLoopLibrarySine)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BareLoopExactSine)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
