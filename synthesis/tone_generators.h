// The three sample functions of the time signal. Pure: the value of a frame
// depends on the arguments alone, so equal arguments give equal samples.
#pragma once

#include <cstdint>

#include "synthesis/signal_settings.h"

namespace marvolen {

// One frame of a notice second, NHK pattern: a pip at NoticeSoundFreq1 for a
// tenth of a second, a fade of half that, then silence.
// w: BitSize; a: frame within the second; b: PipUnit.
int32_t NoticeSampleNhk(int32_t w, const SignalSettings& settings, int32_t a, int32_t b);

// One frame of a notice second, Nippon pattern: the NHK pip, then from frame
// 3b + 1 a second pip at NoticeSoundFreq2 of the same shape.
int32_t NoticeSampleNippon(int32_t w, const SignalSettings& settings, int32_t a, int32_t b);

// One frame of the main signal: full amplitude for a second, then a linear fade
// over two. a runs from 0 to 3 * SampleRate - 1 without a break.
int32_t MainSignalSample(int32_t w, const SignalSettings& settings, int32_t a);

}  // namespace marvolen
