// The four small routines every inverse function is built on: the modulus
// ZA1S, the argument ZARG, the principal square root ZS1RT and the principal
// logarithm ZL1G. They sit on the path of every call, so they are defined
// here, inline, and the routines that call them compile them into their own
// code. Their common case is inline; the rest (a modulus near or beyond the
// largest double, the first call, squares that leave the double range) goes
// to out-of-line code in modulus_argument.cpp and sqrt_log.cpp.
//
// ZA1S forms |z| as M * sqrt(1 + (m/M)^2), M the larger and m the smaller
// part in magnitude, so no square of a part is ever formed: nothing
// overflows or underflows on the way, and only a modulus beyond the largest
// double is an error.
//
// The root and the logarithm start from R = sqrt(x^2 + y^2) formed from
// the squares directly, each operation rounded to 53 bits as in double
// arithmetic but in an exponent range wide enough that no square, sum or
// root overflows or underflows. R is carried as a double and a power of two,
// and never rounded to the double range before it is used.
//
//   sqrt z = (S, T) for x >= 0, with S = sqrt((|x| + R) / 2), T = y / (2S);
//            (|T|, +-S) for x < 0, the sign of y choosing (a zero y counts
//            as positive, so the negative real axis gives +i sqrt|x|).
//   ln z   = (ln R, arg z).
#ifndef CXFUN_COMPLEX_INLINE_ROUTINES_H
#define CXFUN_COMPLEX_INLINE_ROUTINES_H

#include <atomic>
#include <cfloat>
#include <cmath>

#include "errors/routine_stack.h"
#include "machine/complex_value.h"
#include "runtime/checked_math.h"
#include "runtime/larger_smaller.h"

namespace cxfun {
namespace root_log_detail {

// The value scaled * 2^exponent.
struct WideValue {
  double scaled;
  int exponent;
};

// The out-of-line parts, for moduli whose squares leave the double range.
WideValue modulus_wide_scaled(double x, double y);
double half_sum_root_scaled(double x, const WideValue& r);
double log_wide_scaled(const WideValue& r);

// Parts up to the largest double with the larger beyond 2^500 are scaled by
// the fixed 2^-kHighScale: the larger part lands in (2^-100, 2^424], where
// its square and the sum stay normal; a smaller part that falls below the
// normal range on the way is negligible against it. The exponent is even, so
// the square roots scale back exactly.
inline constexpr int kHighScale = 600;
inline constexpr double kHighDown = 0x1p-600;   // 2^-kHighScale
inline constexpr double kHighUp = 0x1p600;      // 2^kHighScale
inline constexpr double kHighRootUp = 0x1p300;  // 2^(kHighScale / 2)

// R = sqrt(x*x + y*y) with 53-bit roundings and an unbounded exponent range.
// Zero, infinite and NaN moduli come back with the exponent 0.
inline WideValue modulus_wide(double x, double y) {
  const double a = std::fabs(x);
  const double b = std::fabs(y);
  const double big = a > b ? a : b;
  if (big >= 0x1p-460 && big <= 0x1p500) [[likely]] {
    // The squares stay below 2^1001. A square that falls below the normal
    // range is smaller than half an ulp of the larger square (at least
    // 2^-920), so the sum rounds as it would in the wide range.
    return {std::sqrt(x * x + y * y), 0};
  }
  if (big > 0x1p500 && a <= DBL_MAX && b <= DBL_MAX) {
    const double xs = x * kHighDown;
    const double ys = y * kHighDown;
    return {std::sqrt(xs * xs + ys * ys), kHighScale};
  }
  return modulus_wide_scaled(x, y);
}

// sqrt((|x| + R) * 0.5) with the sum and the halving in the wide range.
inline double half_sum_root(double x, const WideValue& r) {
  if (r.exponent == 0) [[likely]] return checked_sqrt((std::fabs(x) + r.scaled) * 0.5);
  if (r.exponent == kHighScale) {
    return checked_sqrt((std::fabs(x * kHighDown) + r.scaled) * 0.5) * kHighRootUp;
  }
  return half_sum_root_scaled(x, r);
}

// ln R rounded to double.
inline double log_wide(const WideValue& r) {
  if (r.exponent == 0) [[likely]] return checked_log(r.scaled);  // 0, NaN and +inf included
  if (r.exponent == kHighScale) {
    const double unscaled = r.scaled * kHighUp;  // exact wherever it is finite
    if (unscaled <= DBL_MAX) return checked_log(unscaled);
  }
  return log_wide_scaled(r);
}

}  // namespace root_log_detail

namespace modulus_detail {

struct ModulusConstants {
  double e;   // root of the spacing: below e*M the smaller part is negligible
  double b;   // the largest double
  double b1;  // the largest double / 1.415: below it M*sqrt(1 + r*r) stays finite
};

// The constants once a call has filled them, else null: published only after
// they are complete.
extern std::atomic<const ModulusConstants*> g_filled_constants;

// ZA1S in full, out of line: every path that can record the overflow error,
// and the first call, which fills the constants. `big` and `small` are the
// parts' magnitudes, sorted.
double modulus_with_scope(const Complex& z, double big, double small);

// |z| from the sorted magnitudes, below the overflow bound b1.
inline double modulus_below_bound(double big, double small, const ModulusConstants& c) {
  if (small <= c.e * big) return big;  // m*m is below the rounding unit of M*M: no division, no root
  const double q = small / big;
  return big * checked_sqrt(1.0 + q * q);
}

}  // namespace modulus_detail

// |z| without squaring the parts. A modulus above the largest double is a
// terminal error (type 5, code 4); a NaN part or two infinite parts end the
// process through the checked square root.
inline double ZA1S(const Complex& z) {
  using namespace modulus_detail;
  const double a = std::fabs(z.re);
  const double b = std::fabs(z.im);
  // With a NaN part the order does not matter: a NaN reaches the square root
  // on every path, whichever of the two it lands in.
  const LargerSmaller sorted = larger_smaller(a, b);
  const double big = sorted.larger;
  const double small = sorted.smaller;
  // Below the bound nothing can be recorded: the routine then pushes and
  // pops its name as a leaf does.
  const ModulusConstants* c = g_filled_constants.load(std::memory_order_acquire);
  if (c == nullptr || big > c->b1) [[unlikely]] return modulus_with_scope(z, big, small);
  LeafRoutineScope scope("ZA1S  ");
  return modulus_below_bound(big, small, *c);
}

// arg z in [-pi, pi]; +0 when neither part is a nonzero number.
inline double ZARG(const Complex& z) {
  LeafRoutineScope scope("ZARG  ");
  // A part counts as zero unless it compares unequal to zero as a number:
  // a NaN part counts as zero here, so (NaN, 0) and (0, NaN) give 0.
  const bool re_zero = !(z.re < 0.0 || z.re > 0.0);
  const bool im_zero = !(z.im < 0.0 || z.im > 0.0);
  if (re_zero && im_zero) return 0.0;
  return checked_atan2(z.im, z.re);
}

// Principal square root; the negative real axis maps to +i*sqrt|x| from both
// sides, and an argument with a NaN part gives (0, 0).
inline void ZS1RT(Complex& result, const Complex& z) {
  using namespace root_log_detail;
  LeafRoutineScope scope("ZS1RT ");
  const double x = z.re;
  const double y = z.im;
  const WideValue r = modulus_wide(x, y);
  if (r.scaled == 0.0 || std::isnan(r.scaled)) [[unlikely]] {
    result = {0.0, 0.0};  // z = 0, and any argument with a NaN part
    return;
  }
  const double s = half_sum_root(x, r);
  // y / (2S): the halving is done on S, where it is exact, so y keeps its
  // last bit even where it is subnormal; elsewhere this is (y * 0.5) / S.
  const double t = y / (s * 2.0);
  if (x >= 0.0) {  // -0 included
    result = {s, t};
  } else {
    result = {std::fabs(t), y >= 0.0 ? s : -s};  // a zero y of either sign gives +S
  }
}

// Principal logarithm (ln |z|, ZARG(z)); z = 0 and NaN parts end the process
// through the checked logarithm.
inline void ZL1G(Complex& result, const Complex& z) {
  using namespace root_log_detail;
  RoutineScope scope("ZL1G  ");
  // No test for z = 0: the logarithm of R = 0 ends the process.
  const double l = log_wide(modulus_wide(z.re, z.im));
  const double a = ZARG(z);
  result = {l, a};
}

}  // namespace cxfun

#endif
