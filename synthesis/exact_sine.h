// A double-precision sine that gives the same bits on every platform.
//
// The platform sines differ (glibc, the mingw x87 routine, Microsoft's CRT),
// so files written by different builds would differ in a few samples. This
// one uses only +, -, *, / on doubles in a fixed order, so with SSE2
// arithmetic and no contraction into fused multiply-adds it is reproducible
// bit for bit. It stays within one unit in the last place of the true sine
// and returns exactly +-1.0 where the true value rounds to it.
#pragma once

namespace marvolen {

// sin(x) for |x| < 1.6e6 (about 2^20 * pi/2), the range in which the
// reduction below is exact; the signal needs at most about 3.8e5.
double ExactSine(double x);

}  // namespace marvolen
