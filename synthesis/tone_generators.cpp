#include "synthesis/tone_generators.h"

#include "synthesis/exact_sine.h"

// Every operation below is one IEEE double operation in the order written:
// the order decides the sign of the tiny sines at multiples of pi, and with it
// 127 or 128 in 8-bit output. Do not regroup.

namespace marvolen {
namespace {

constexpr double kTwoPi = 6.283185307179586;
constexpr double kFadeFraction = 0.05;
constexpr double kEightBitOffset = 128.0;

int32_t ToneSample(int32_t w, double amplitude, int32_t sampleRate, int32_t frequency, int32_t a) {
  const double u = static_cast<double>(a) * kTwoPi;
  const double v = static_cast<double>(sampleRate) / static_cast<double>(frequency);
  const double phase = u / v;
  const double y = ExactSine(phase) * amplitude;
  // Conversion truncates toward zero; the 8-bit offset comes first, so 8-bit
  // output floors around 128 while 16 and 24 bit truncate around 0.
  if (w == kBitSize8) return static_cast<int32_t>(y + kEightBitOffset);
  return static_cast<int32_t>(y);
}

// Amplitude of a notice pip at frame a, fading from frame `fadeStart` to
// silence at `end`.
double NoticeAmplitude(int32_t w, int32_t sampleRate, int32_t a, int32_t fadeStart, int32_t end) {
  double amplitude = FullScaleAmplitude(w);
  if (a >= fadeStart) {
    amplitude = (amplitude * static_cast<double>(end - a)) /
                (static_cast<double>(sampleRate) * kFadeFraction);
  }
  return amplitude;
}

int32_t FirstPipBoundary(int32_t b) { return static_cast<int32_t>(b * 1.5); }

}  // namespace

int32_t NoticeSampleNhk(int32_t w, const SignalSettings& settings, int32_t a, int32_t b) {
  const int32_t p1 = FirstPipBoundary(b);
  if (a >= p1) return SilenceValue(w);
  const double amplitude = NoticeAmplitude(w, settings.SampleRate, a, b, p1);
  return ToneSample(w, amplitude, settings.SampleRate, settings.NoticeSoundFreq1, a);
}

int32_t NoticeSampleNippon(int32_t w, const SignalSettings& settings, int32_t a, int32_t b) {
  if (a < FirstPipBoundary(b)) return NoticeSampleNhk(w, settings, a, b);
  const int32_t p3 = static_cast<int32_t>(b * 3.0);
  if (a <= p3) return SilenceValue(w);  // frame 3b itself is silent
  const int32_t p45 = static_cast<int32_t>(b * 4.5);
  if (a >= p45) return SilenceValue(w);
  const int32_t p4 = static_cast<int32_t>(b * 4.0);
  const double amplitude = NoticeAmplitude(w, settings.SampleRate, a, p4, p45);
  // The phase comes from the frame within the second, not from the pip's start.
  return ToneSample(w, amplitude, settings.SampleRate, settings.NoticeSoundFreq2, a);
}

int32_t MainSignalSample(int32_t w, const SignalSettings& settings, int32_t a) {
  const int32_t r = settings.SampleRate;
  double amplitude = FullScaleAmplitude(w);
  if (a >= r) {
    amplitude = (amplitude * static_cast<double>(3 * r - a)) / static_cast<double>(2 * r);
  }
  return ToneSample(w, amplitude, r, settings.MainSignalSoundFreq, a);
}

}  // namespace marvolen
