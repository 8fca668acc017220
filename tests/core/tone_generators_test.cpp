// The worked examples and boundaries of the signal, checked exactly.
#include "synthesis/tone_generators.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "synthesis/exact_sine.h"

namespace marvolen {
namespace {

enum class Fn { Nhk, Nippon, Main };

SignalSettings AtRate(int32_t rate) {
  SignalSettings s;  // default frequencies 440, 400, 880
  s.SampleRate = rate;
  return s;
}

int32_t Sample(Fn fn, int32_t w, const SignalSettings& s, int32_t a) {
  const int32_t b = PipUnit(s);
  switch (fn) {
    case Fn::Nhk:
      return NoticeSampleNhk(w, s, a, b);
    case Fn::Nippon:
      return NoticeSampleNippon(w, s, a, b);
    default:
      return MainSignalSample(w, s, a);
  }
}

struct WorkedExample {
  int32_t rate;
  Fn fn;
  int32_t a;
  int32_t bit8, bit16, bit24;
};

// Every row of both worked-example tables, at the default frequencies.
constexpr WorkedExample kWorkedExamples[] = {
    {8000, Fn::Nhk, 0, 128, 0, 0},
    {8000, Fn::Nhk, 1, 171, 11099, 2841539},
    {8000, Fn::Nhk, 5, 253, 32363, 8285329},
    {8000, Fn::Nhk, 10, 88, -10125, -2592222},
    {8000, Fn::Nhk, 799, 84, -11099, -2841539},
    {8000, Fn::Nhk, 800, 127, 0, 0},
    {8000, Fn::Nhk, 801, 170, 11071, 2834435},
    {8000, Fn::Nhk, 1199, 127, -27, -7103},
    {8000, Fn::Nhk, 1200, 128, 0, 0},
    {8000, Fn::Nippon, 2400, 128, 0, 0},
    {8000, Fn::Nippon, 2401, 167, 10125, 2592222},
    {8000, Fn::Nippon, 3199, 88, -10125, -2592222},
    {8000, Fn::Nippon, 3201, 167, 10100, 2585741},
    {8000, Fn::Nippon, 3599, 127, -25, -6480},
    {8000, Fn::Nippon, 3600, 128, 0, 0},
    {8000, Fn::Main, 1, 208, 20886, 5347099},
    {8000, Fn::Main, 2, 252, 32186, 8240021},
    {8000, Fn::Main, 7999, 47, -20886, -5347099},
    {8000, Fn::Main, 8000, 127, 0, 0},
    {8000, Fn::Main, 8001, 208, 20885, 5346765},
    {8000, Fn::Main, 23998, 127, -4, -1030},
    {8000, Fn::Main, 23999, 127, -1, -334},
    {22050, Fn::Nhk, 2205, 127, 0, 0},
    {22050, Fn::Nhk, 2206, 143, 4091, 1047572},
    {22050, Fn::Nhk, 3306, 127, -5, -1422},
    {22050, Fn::Nhk, 3307, 128, 0, 0},
    {22050, Fn::Nippon, 6615, 128, 0, 0},
    {22050, Fn::Nippon, 6616, 142, 3726, 954070},
    {22050, Fn::Nippon, 9921, 127, -5, -1294},
    {22050, Fn::Nippon, 9922, 128, 0, 0},
};

TEST(ToneGenerators, WorkedExamplesInEveryWidth) {
  for (const auto& row : kWorkedExamples) {
    const SignalSettings s = AtRate(row.rate);
    SCOPED_TRACE(testing::Message()
                 << "rate " << row.rate << " fn " << static_cast<int>(row.fn) << " a " << row.a);
    EXPECT_EQ(Sample(row.fn, kBitSize8, s, row.a), row.bit8);
    EXPECT_EQ(Sample(row.fn, kBitSize16, s, row.a), row.bit16);
    EXPECT_EQ(Sample(row.fn, kBitSize24, s, row.a), row.bit24);
  }
}

// Frames within a notice second where each region starts, by rate.
struct Boundaries {
  int32_t rate;
  int32_t firstFadeStart;    // b
  int32_t nhkSilentFrom;     // p1
  int32_t secondPipStart;    // 3b + 1
  int32_t secondFadeStart;   // 4b
  int32_t nipponSilentFrom;  // p45
};

constexpr Boundaries kBoundaries[] = {
    {8000, 800, 1200, 2401, 3200, 3600},      {9600, 960, 1440, 2881, 3840, 4320},
    {22050, 2205, 3307, 6616, 8820, 9922},    {44100, 4410, 6615, 13231, 17640, 19845},
    {48000, 4800, 7200, 14401, 19200, 21600}, {96000, 9600, 14400, 28801, 38400, 43200},
};

// A sample that is silent in every width.
bool SilentEverywhere(Fn fn, const SignalSettings& s, int32_t a) {
  return Sample(fn, kBitSize8, s, a) == 128 && Sample(fn, kBitSize16, s, a) == 0 &&
         Sample(fn, kBitSize24, s, a) == 0;
}

// The tone value the generators must give at frame a for a given amplitude.
int32_t Expected24(const SignalSettings& s, int32_t freq, double factor, int32_t a) {
  const double phase = (a * 6.283185307179586) / (static_cast<double>(s.SampleRate) / freq);
  return static_cast<int32_t>(ExactSine(phase) * (8388607.0 * factor));
}

TEST(ToneGenerators, NoticeBoundariesByRate) {
  for (const auto& row : kBoundaries) {
    const SignalSettings s = AtRate(row.rate);
    SCOPED_TRACE(row.rate);
    const double divisor = row.rate * 0.05;
    ASSERT_EQ(PipUnit(s), row.firstFadeStart);

    // First pip: full up to b - 1, faded from b, silent from p1.
    EXPECT_EQ(Sample(Fn::Nhk, kBitSize24, s, row.firstFadeStart - 1),
              Expected24(s, 440, 1.0, row.firstFadeStart - 1));
    EXPECT_EQ(Sample(Fn::Nhk, kBitSize24, s, row.nhkSilentFrom - 1),
              Expected24(s, 440, 1.0 / divisor, row.nhkSilentFrom - 1));
    EXPECT_TRUE(SilentEverywhere(Fn::Nhk, s, row.nhkSilentFrom));
    EXPECT_TRUE(SilentEverywhere(Fn::Nhk, s, row.rate - 1));

    // Nippon: silent gap up to 3b inclusive, second pip from 3b + 1.
    EXPECT_TRUE(SilentEverywhere(Fn::Nippon, s, row.nhkSilentFrom));
    EXPECT_TRUE(SilentEverywhere(Fn::Nippon, s, row.secondPipStart - 1));
    EXPECT_EQ(Sample(Fn::Nippon, kBitSize24, s, row.secondPipStart),
              Expected24(s, 400, 1.0, row.secondPipStart));
    EXPECT_NE(Sample(Fn::Nippon, kBitSize24, s, row.secondPipStart), 0);
    EXPECT_EQ(Sample(Fn::Nippon, kBitSize24, s, row.secondFadeStart - 1),
              Expected24(s, 400, 1.0, row.secondFadeStart - 1));
    EXPECT_EQ(Sample(Fn::Nippon, kBitSize24, s, row.nipponSilentFrom - 1),
              Expected24(s, 400, 1.0 / divisor, row.nipponSilentFrom - 1));
    EXPECT_TRUE(SilentEverywhere(Fn::Nippon, s, row.nipponSilentFrom));
    EXPECT_TRUE(SilentEverywhere(Fn::Nippon, s, row.rate - 1));
  }
}

TEST(ToneGenerators, NipponEqualsNhkBelowFirstPipEndAndNhkIgnoresFreq2) {
  for (const auto& entry : kSampleRateList) {
    SignalSettings s = AtRate(entry.rate);
    SignalSettings other = s;
    other.NoticeSoundFreq2 = 12345;
    const int32_t b = PipUnit(s);
    for (int32_t w : {kBitSize8, kBitSize16, kBitSize24}) {
      for (int32_t a = 0; a < entry.rate; ++a) {
        const int32_t nhk = NoticeSampleNhk(w, s, a, b);
        ASSERT_EQ(nhk, NoticeSampleNhk(w, other, a, b)) << entry.rate << " " << a;
        if (a < b * 3 / 2) {
          ASSERT_EQ(NoticeSampleNippon(w, s, a, b), nhk) << entry.rate << " " << a;
        }
      }
    }
  }
}

TEST(ToneGenerators, MainSignalFadeEndsAtOneOverTwoRate) {
  for (const auto& entry : kSampleRateList) {
    const SignalSettings s = AtRate(entry.rate);
    const int32_t last = 3 * entry.rate - 1;
    const double phase = (last * 6.283185307179586) / (static_cast<double>(entry.rate) / 880);
    EXPECT_EQ(MainSignalSample(kBitSize24, s, last),
              static_cast<int32_t>(ExactSine(phase) * 8388607.0 / (2.0 * entry.rate)))
        << entry.rate;
  }
}

TEST(ToneGenerators, AllValuesStayInTheirWidthAndPeaksAreExact) {
  struct Range {
    int32_t w, lo, hi;
  };
  for (const Range r : {Range{kBitSize8, 1, 255}, Range{kBitSize16, -32767, 32767},
                        Range{kBitSize24, -8388607, 8388607}}) {
    for (const auto& entry : kSampleRateList) {
      const SignalSettings s = AtRate(entry.rate);
      int32_t lo = r.hi, hi = r.lo;
      for (int32_t a = 0; a < 3 * entry.rate; ++a) {
        const int32_t v = MainSignalSample(r.w, s, a);
        lo = std::min(lo, v);
        hi = std::max(hi, v);
      }
      EXPECT_GE(lo, r.lo) << entry.rate;
      EXPECT_LE(hi, r.hi) << entry.rate;
    }
  }
  // 2000 Hz at 8000 Hz puts frame 1 on pi/2, where the sine must round to
  // exactly 1.0: the peaks are the full-scale values.
  SignalSettings s = AtRate(8000);
  s.MainSignalSoundFreq = 2000;
  EXPECT_EQ(MainSignalSample(kBitSize8, s, 1), 255);
  EXPECT_EQ(MainSignalSample(kBitSize8, s, 3), 1);
  EXPECT_EQ(MainSignalSample(kBitSize16, s, 1), 32767);
  EXPECT_EQ(MainSignalSample(kBitSize16, s, 3), -32767);
  EXPECT_EQ(MainSignalSample(kBitSize24, s, 1), 8388607);
  EXPECT_EQ(MainSignalSample(kBitSize24, s, 3), -8388607);
}

TEST(ToneGenerators, ToneAboveNyquistAliasesToSilenceAt20000HzAnd8000Hz) {
  SignalSettings s = AtRate(8000);
  s.MainSignalSoundFreq = 20000;
  for (int32_t a = 0; a < 3 * 8000; ++a) {
    ASSERT_EQ(MainSignalSample(kBitSize16, s, a), 0) << a;
    ASSERT_EQ(MainSignalSample(kBitSize24, s, a), 0) << a;
    const int32_t v8 = MainSignalSample(kBitSize8, s, a);
    ASSERT_TRUE(v8 == 127 || v8 == 128) << a;
  }
}

}  // namespace
}  // namespace marvolen
