// The sine of our own against the C library's, over the phases the signal uses.
#include "synthesis/exact_sine.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstring>

#include "synthesis/signal_settings.h"

namespace marvolen {
namespace {

#if defined(__GLIBC__)
int64_t OrderedBits(double x) {
  int64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return bits < 0 ? INT64_MIN - bits : bits;
}

// Distance in units in the last place between two doubles.
int64_t UlpDistance(double a, double b) {
  const int64_t d = OrderedBits(a) - OrderedBits(b);
  return d < 0 ? -d : d;
}

struct Sweep {
  int64_t phases = 0;
  int64_t different = 0;
  int64_t worstUlps = 0;
  int64_t missedUnity = 0;  // glibc gives +-1.0 where ours does not
};

void Check(double phase, Sweep& sweep) {
  const double ours = ExactSine(phase);
  const double reference = std::sin(phase);
  ++sweep.phases;
  if (ours != reference) ++sweep.different;
  sweep.worstUlps = std::max(sweep.worstUlps, UlpDistance(ours, reference));
  if (std::fabs(reference) == 1.0 && ours != reference) ++sweep.missedUnity;
}

// Every phase of the main signal (which covers the notice seconds) for a
// rate and a tone.
void SweepSignal(int32_t rate, int32_t freq, Sweep& sweep) {
  for (int32_t a = 0; a < 3 * rate; ++a) {
    Check((a * 6.283185307179586) / (static_cast<double>(rate) / freq), sweep);
  }
}

// glibc's sine is the reference: it is correctly rounded in practice.
TEST(ExactSine, WithinOneUlpOfGlibcForDefaultTonesAtEveryRate) {
  Sweep sweep;
  for (const auto& entry : kSampleRateList) {
    for (int32_t freq : {440, 400, 880}) SweepSignal(entry.rate, freq, sweep);
  }
  EXPECT_LE(sweep.worstUlps, 1);
  EXPECT_EQ(sweep.missedUnity, 0);
  RecordProperty("phases", std::to_string(sweep.phases));
  RecordProperty("different", std::to_string(sweep.different));
}

TEST(ExactSine, WithinOneUlpOfGlibcAcrossTheFrequencyRange) {
  Sweep sweep;
  // Every 97th frequency and the ends of the range, at the lowest and the
  // highest rate: the largest phases come from the highest tones.
  for (int32_t freq = kMinToneFrequency; freq <= kMaxToneFrequency; freq += 97) {
    SweepSignal(8000, freq, sweep);
  }
  for (int32_t freq : {5, 19999, 20000}) {
    SweepSignal(8000, freq, sweep);
    SweepSignal(96000, freq, sweep);
  }
  EXPECT_LE(sweep.worstUlps, 1);
  EXPECT_EQ(sweep.missedUnity, 0);
}
#endif

TEST(ExactSine, ExactValuesAtSpecialPoints) {
  EXPECT_EQ(ExactSine(0.0), 0.0);
  EXPECT_EQ(ExactSine(1e-300), 1e-300);
  EXPECT_EQ(ExactSine(1.5707963267948966), 1.0);
  EXPECT_EQ(ExactSine(-1.5707963267948966), -1.0);
  EXPECT_EQ(ExactSine(4.71238898038469), -1.0);
  // sin(pi) for the double nearest pi is the tiny distance to the true pi.
  EXPECT_EQ(ExactSine(3.141592653589793), 1.2246467991473532e-16);
}

}  // namespace
}  // namespace marvolen
