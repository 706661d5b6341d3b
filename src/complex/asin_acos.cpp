// Principal arcsine and arccosine.
//
// ZASIN chooses its method by A = |z|:
//   A < t          asin z = z, since z^3/6 is below the rounding unit of z;
//   t <= A <= 0.1  asin z = z * S(z^2), S the first N terms of
//                  asin(z)/z = sum (2n)!/(4^n (n!)^2 (2n+1)) z^(2n),
//                  summed from the highest term down;
//   A > 0.1        asin z = pi/2 - i ln G with G = z + sqrt(z-1) sqrt(z+1),
//                  folded into the strip |Re| <= pi/2.
// N and t follow from the machine precision and are computed once.
//
// The logarithmic method works on z' with Re z' >= 0 and Im z' >= 0 (asin is
// odd, and commutes with conjugation off its cuts), where G is the large root
// of G^2 - 2z'G + 1 = 0 and is formed without cancellation. An argument with
// a zero imaginary part of either sign is taken as it is, which puts the cuts
// x > 1 and x < -1 on the side given by their limits from below and above:
// asin(x +- 0i) = (pi/2, -arcosh x) for x > 1.
//
// ZACOS is pi/2 - asin z.
#include <cmath>
#include <utility>

#include "complex/complex_routines.h"
#include "errors/routine_stack.h"
#include "machine/machine.h"
#include "runtime/checked_math.h"

namespace cxfun {
namespace {

constexpr double kHalfPi = 1.5707963267948966;
constexpr double kPi = 3.141592653589793;
constexpr double kLn4 = 1.3862943611198906;
// The number of series terms the machine constants give (N below).
constexpr int kSeriesTerms = 16;

struct ArcsineConstants {
  int n;     // number of series terms
  double t;  // below t the argument is its own arcsine
};

// Filled once, completely, before any call can read it.
const ArcsineConstants& arcsine_constants() {
  static const ArcsineConstants constants = [] {
    ArcsineConstants c;
    // 0.4343 * ln v is about log10 v: the number of decimal digits, plus one.
    c.n = static_cast<int>(1.0 - 0.4343 * checked_log(DMACH(3)));
    c.t = checked_sqrt(6.0 * DMACH(3));
    return c;
  }();
  return constants;
}

// One pass of S = W * K * S / (K + 1) + 1/K. The products are written in
// the order of that recurrence; they are not to be regrouped.
[[gnu::always_inline]] inline void arcsine_pass(const Complex& w, Complex& s, double k) {
  const double p = k * s.re;
  const double q = k * s.im;
  const double h_re = w.re * p - w.im * q;
  const double h_im = w.re * q + w.im * p;
  s = {h_re / (k + 1.0) + 1.0 / k, h_im / (k + 1.0)};
}

// The passes for K = 2N-1, 2N-3, ..., 1 with N fixed when compiled: every K
// is then a constant, 1/K is worked out by the compiler, and a division by
// K + 1 where that is a power of two becomes the multiplication that gives
// the same double. The passes are a chain in which each waits for the one
// before, so these are the steps that set the series' time.
template <int... Pass>
Complex arcsine_sum_fixed(const Complex& w, std::integer_sequence<int, Pass...>) {
  constexpr int n = sizeof...(Pass);
  Complex s{0.0, 0.0};
  (arcsine_pass(w, s, static_cast<double>(2 * (n - Pass) - 1)), ...);
  return s;
}

// z * S(z^2) with S summed from the highest term down, N terms.
Complex arcsine_series(const Complex& z, int n) {
  const double x = z.re;
  const double y = z.im;
  const Complex w{x * x - y * y, x * y + y * x};
  Complex s;
  if (n == kSeriesTerms) {
    s = arcsine_sum_fixed(w, std::make_integer_sequence<int, kSeriesTerms>{});
  } else {
    s = {0.0, 0.0};
    double k = static_cast<double>(2 * n - 1);
    for (int pass = 0; pass < n; ++pass) {
      arcsine_pass(w, s, k);
      k = k - 2.0;
    }
  }
  return {x * s.re - y * s.im, x * s.im + y * s.re};
}

// G = V * U + z' with U = sqrt(z' + 1) (taken in the upper half plane) and
// V = sqrt(z' - 1); the argument is scaled by `scale` (1 or 1/4, exact).
[[gnu::always_inline]] inline Complex large_root(const Complex& zp, double scale) {
  Complex u;
  ZS1RT(u, Complex{(zp.re + 1.0) * scale, (zp.im + 0.0) * scale});
  if (u.im < 0.0) u = {-u.re, -u.im};
  Complex v;
  ZS1RT(v, Complex{(zp.re - 1.0) * scale, (zp.im - 0.0) * scale});
  return {(v.re * u.re - v.im * u.im) + zp.re * scale, (v.re * u.im + v.im * u.re) + zp.im * scale};
}

// L = ln G where G, about 2z', overflows (|z'| above about half the largest
// double). The same G from the argument scaled by 1/4 is exactly G/4, and
// ln |G| = ln |G/4| + ln 4.
[[gnu::noinline, gnu::cold]] Complex log_of_rescaled_root(const Complex& zp) {
  Complex l;
  ZL1G(l, large_root(zp, 0.25));
  l.re = l.re + kLn4;
  return l;
}

// The logarithmic method on z' = (x', y'), x' >= 0 or -0, y' > 0 or a zero.
Complex arcsine_log(const Complex& zp) {
  Complex l;
  const Complex g = large_root(zp, 1.0);
  if (std::isfinite(g.re) && std::isfinite(g.im)) [[likely]] {
    ZL1G(l, g);
  } else {
    l = log_of_rescaled_root(zp);
  }
  // R = pi/2 - i*L, with i*L the full complex product (0, 1) * L.
  const double il_re = 0.0 * l.re - 1.0 * l.im;
  const double il_im = 0.0 * l.im + 1.0 * l.re;
  const Complex r{kHalfPi - il_re, -il_im};
  // R.re > pi/2 says that G lies above the real axis, and then R is folded
  // into the strip. An angle of G below half an ulp of pi/2 vanishes from
  // R.re, so an argument above the axis is folded whatever R.re says: just
  // off the cut it keeps the imaginary part of its own side. On the cut
  // itself (a zero imaginary part of either sign) R.re decides alone.
  if (r.re > kHalfPi || zp.im > 0.0) return {kPi - r.re, -r.im};
  if (r.re <= -kHalfPi) return {-kPi - r.re, -r.im};
  return r;
}

}  // namespace

void ZASIN(Complex& result, const Complex& z) {
  RoutineScope scope("ZASIN ");
  const ArcsineConstants& c = arcsine_constants();
  // The modulus only chooses the method. Where both parts are numbers no
  // larger than 2^1000 and one exceeds 0.1 in magnitude, ZA1S would return at
  // least the larger part (M, or M times a root that is at least 1), so the
  // logarithmic method is taken without it; and with parts that small ZA1S
  // records nothing and cannot end the process, while nothing is printed
  // with its name on the stack, so leaving the call out changes nothing a
  // caller can see. Every other argument (NaN or infinite parts, huge parts,
  // and the series and identity regions, where the modulus's value matters)
  // still goes through ZA1S.
  const double ax = std::fabs(z.re);
  const double ay = std::fabs(z.im);
  const bool plainly_above = (ax > 0.1 || ay > 0.1) && ax <= 0x1p1000 && ay <= 0x1p1000;
  // Where the call is left out, ax + ay stands in for the modulus: it is
  // compared with 0.1 only, and exceeds it as the modulus does.
  const double a = plainly_above ? ax + ay : ZA1S(z);
  Complex w;
  if (a > 0.1) {
    // asin(-z) = -asin(z): fold a negative real part (not -0) over.
    const bool fold = z.re < 0.0;
    Complex zp = fold ? Complex{-z.re, -z.im} : z;
    // asin(conj z) = conj asin(z): a strictly negative imaginary part is
    // mirrored, so that G is always the large root. A zero imaginary part of
    // either sign stays as it is: that decides the side of the cuts.
    const bool mirror = zp.im < 0.0;
    if (mirror) zp.im = -zp.im;
    w = arcsine_log(zp);
    if (mirror) w.im = -w.im;
    if (fold) w = {-w.re, -w.im};
  } else if (a < c.t) {
    w = z;
  } else {
    w = arcsine_series(z, c.n);
  }
  result = w;
}

void ZACOS(Complex& result, const Complex& z) {
  RoutineScope scope("ZACOS ");
  Complex w;
  ZASIN(w, z);
  result = {kHalfPi - w.re, -w.im};
}

}  // namespace cxfun
