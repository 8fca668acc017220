#include "synthesis/exact_sine.h"

#include <cstdint>
#include <cstring>

// Classic argument reduction by multiples of pi/2 split into pieces with
// trailing zero bits (so that n * piece is exact for n < 2^20), followed by
// minimax polynomials for sin and cos on [-pi/4, pi/4] with the tail of the
// reduced argument carried along. Coefficients are the well-known ones of the
// freely distributed fdlibm kernels.

namespace marvolen {
namespace {

int BiasedExponent(double x) {
  uint64_t bits;
  std::memcpy(&bits, &x, sizeof bits);
  return static_cast<int>((bits >> 52) & 0x7ff);
}

// sin(x + y) for |x + y| <= pi/4, y a tiny correction to x.
double KernelSin(double x, double y) {
  constexpr double S1 = -1.66666666666666324348e-01;
  constexpr double S2 = 8.33333333332248946124e-03;
  constexpr double S3 = -1.98412698298579493134e-04;
  constexpr double S4 = 2.75573137070700676789e-06;
  constexpr double S5 = -2.50507602534068634195e-08;
  constexpr double S6 = 1.58969099521155010221e-10;
  const double z = x * x;
  const double w = z * z;
  const double r = S2 + z * (S3 + z * S4) + z * w * (S5 + z * S6);
  const double v = z * x;
  if (y == 0.0) return x + v * (S1 + z * r);
  return x - ((z * (0.5 * y - v * r) - y) - v * S1);
}

// cos(x + y) for |x + y| <= pi/4.
double KernelCos(double x, double y) {
  constexpr double C1 = 4.16666666666666019037e-02;
  constexpr double C2 = -1.38888888888741095749e-03;
  constexpr double C3 = 2.48015872894767294178e-05;
  constexpr double C4 = -2.75573143513906633035e-07;
  constexpr double C5 = 2.08757232129817482790e-09;
  constexpr double C6 = -1.13596475577881948265e-11;
  const double z = x * x;
  const double w = z * z;
  const double r = z * (C1 + z * (C2 + z * C3)) + w * w * (C4 + z * (C5 + z * C6));
  const double hz = 0.5 * z;
  const double one_minus_hz = 1.0 - hz;
  return one_minus_hz + (((1.0 - one_minus_hz) - hz) + (z * r - x * y));
}

struct Reduced {
  int32_t quadrant;
  double hi;
  double lo;
};

// x = quadrant * pi/2 + (hi + lo), |hi + lo| <= about pi/4.
Reduced ReduceByHalfPi(double x) {
  constexpr double kInvHalfPi = 6.36619772367581382433e-01;
  constexpr double kHalfPi1 = 1.57079632673412561417e+00;      // first 33 bits of pi/2
  constexpr double kHalfPi1Tail = 6.07710050650619224932e-11;  // pi/2 - kHalfPi1
  constexpr double kHalfPi2 = 6.07710050630396597660e-11;      // next 33 bits
  constexpr double kHalfPi2Tail = 2.02226624879595063154e-21;
  constexpr double kHalfPi3 = 2.02226624871116645580e-21;  // next 33 bits
  constexpr double kHalfPi3Tail = 8.47842766036889956997e-32;
  // Adding and subtracting 1.5 * 2^52 rounds to the nearest integer.
  constexpr double kRoundingShift = 6755399441055744.0;

  const double fn = (x * kInvHalfPi + kRoundingShift) - kRoundingShift;
  const int exponent_x = BiasedExponent(x);
  double r = x - fn * kHalfPi1;
  double w = fn * kHalfPi1Tail;
  double hi = r - w;
  // Each further step is needed only when the subtraction cancelled many bits.
  if (exponent_x - BiasedExponent(hi) > 16) {
    double t = r;
    w = fn * kHalfPi2;
    r = t - w;
    w = fn * kHalfPi2Tail - ((t - r) - w);
    hi = r - w;
    if (exponent_x - BiasedExponent(hi) > 49) {
      t = r;
      w = fn * kHalfPi3;
      r = t - w;
      w = fn * kHalfPi3Tail - ((t - r) - w);
      hi = r - w;
    }
  }
  const double lo = (r - hi) - w;
  return {static_cast<int32_t>(fn), hi, lo};
}

}  // namespace

double ExactSine(double x) {
  constexpr double kQuarterPi = 7.85398163397448278999e-01;
  const double ax = x < 0 ? -x : x;
  if (ax <= kQuarterPi) {
    if (ax < 7.450580596923828125e-9) return x;  // 2^-27: sin x rounds to x
    return KernelSin(x, 0.0);
  }
  const Reduced red = ReduceByHalfPi(x);
  switch (red.quadrant & 3) {
    case 0:
      return KernelSin(red.hi, red.lo);
    case 1:
      return KernelCos(red.hi, red.lo);
    case 2:
      return -KernelSin(red.hi, red.lo);
    default:
      return -KernelCos(red.hi, red.lo);
  }
}

}  // namespace marvolen
