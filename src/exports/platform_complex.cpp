// Complex logarithm, square root and division for the direct entry points.
//
//   modulus:   p = |x|, q = |y|; m = q if p is 0 or NaN, else p if q is 0 or
//              NaN, else the larger of p, q times sqrt(1 + r*r), r = smaller
//              over larger.
//   log:       (ln m, atan2(y, x)).
//   sqrt:      w = sqrt((m + |x|) / 2), v = y / (2w); (w, v) for x >= 0, and
//              (v, w) or (-v, -w) on the left half-plane, whichever has the
//              nonnegative real part.
//   quotient:  (u + iv) / (c + id) through the reciprocal t of c + d*r, with
//              r the ratio of the smaller to the larger of |c|, |d|.
//
// Every step rounds to double and is written in the order above; none of it
// is "simplified", since the operand order shows in the last bit (ln 8 / ln 2
// comes out as 2.9999999999999996 through the reciprocal).
//
// Wider range: the modulus can lie above the largest double (both parts near
// 1.5e308) or be rounded to the coarse spacing of subnormal numbers (both
// parts subnormal). There the log and the root work on the 53-bit modulus as
// if the exponent range had no limits, so the results stay finite and
// accurate; every argument whose steps stay within the normal double range
// goes through the plain formulas unchanged.
#include "exports/platform_complex.h"

#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>

#include "runtime/larger_smaller.h"

namespace cxfun::platform {
namespace {

// sqrt(1/2) rounded to double.
constexpr double kSqrtHalf = 0.7071067811865476;

// Scaling a pair of subnormal numbers by 2^1076 makes both normal (at least 4)
// and keeps them far below overflow; the root then scales back by 2^-538.
constexpr int kSubnormalScale = 1076;

bool finite_nonzero(double v) { return v > 0.0 && v <= DBL_MAX; }

bool both_subnormal(double p, double q) {
  return finite_nonzero(p) && finite_nonzero(q) && p < DBL_MIN && q < DBL_MIN;
}

// The modulus of (p, q), both finite and nonzero, rounded to 53 bits without
// exponent limits and held exactly in a long double. Both parts are scaled by
// the same power of two, so the ratio r and the rounding of every step are
// unchanged. A smaller part that drops below the double range on the way is
// less than 2^-1022 times the larger and cannot move the result.
long double modulus_wide(double p, double q) {
  const int e = std::ilogb(std::fmax(p, q));
  const double m = modulus(std::ldexp(p, -e), std::ldexp(q, -e));
  return std::ldexp(static_cast<long double>(m), e);
}

// ln m for rule L.
double log_modulus(double x, double y) {
  const double p = std::fabs(x);
  const double q = std::fabs(y);
  const double m = modulus(x, y);
  const bool overflowed = finite_nonzero(p) && finite_nonzero(q) && m > DBL_MAX;
  if (overflowed || both_subnormal(p, q)) {
    return static_cast<double>(std::log(modulus_wide(p, q)));
  }
  return std::log(m);
}

}  // namespace

double modulus(double x, double y) {
  const double p = std::fabs(x);
  const double q = std::fabs(y);
  if (p == 0.0 || std::isnan(p)) return q;
  if (q == 0.0 || std::isnan(q)) return p;
  // p > q: r = q/p and m = p*sqrt(1 + r*r); otherwise the same with p and q
  // exchanged (also when both are infinite: r = inf/inf is NaN, and so is m).
  const LargerSmaller sorted = larger_smaller(p, q);
  const double r = sorted.smaller / sorted.larger;
  return sorted.larger * std::sqrt(1.0 + r * r);
}

Complex principal_log(const Complex& z) {
  return {log_modulus(z.re, z.im), std::atan2(z.im, z.re)};
}

Complex principal_sqrt(const Complex& z) {
  const double x = z.re;
  const double y = z.im;
  const double ax = std::fabs(x);

  // w = sqrt((m + |x|) / 2), the halving placed where nothing can overflow.
  double w;
  if (ax > 1.0) {
    const double h = ax / 2.0;
    const double m = modulus(h, y / 2.0);
    const double s = m + h;
    if (s > DBL_MAX && m <= DBL_MAX) {
      // m and h are finite but their sum is not, by less than a factor 2.
      // At half the scale the same 53-bit sum is representable, and
      // sqrt(s) = 2 * sqrt(s / 4) with every scaling exact.
      w = 2.0 * std::sqrt((m / 2.0 + h / 2.0) / 2.0);
    } else {
      w = std::sqrt(s);
    }
  } else if (both_subnormal(ax, std::fabs(y))) {
    // The same steps on parts scaled into the normal range; each rounds as it
    // would without exponent limits, and w itself is a normal number.
    const double xs = std::ldexp(ax, kSubnormalScale);
    const double ys = std::ldexp(y, kSubnormalScale);
    w = std::ldexp(std::sqrt(modulus(xs, ys) + xs) * kSqrtHalf, -kSubnormalScale / 2);
  } else {
    // Also taken for a NaN x, which makes w NaN.
    w = std::sqrt(modulus(ax, y) + ax) * kSqrtHalf;
  }

  const double v = (y == 0.0 || std::isnan(y)) ? y : y / (2.0 * w);
  if (x >= 0.0) return {w, v};
  // Left half-plane or NaN x. A negative y counts as negative even when
  // y / (2w) underflows to -0, so the root keeps the sign of y's side.
  if (v >= 0.0 && !(y < 0.0)) return {v, w};
  return {-v, -w};
}

Complex quotient(const Complex& n, const Complex& d) {
  const double u = n.re;
  const double v = n.im;
  const double c = d.re;
  const double e = d.im;  // the divisor's imaginary part
  if (std::fabs(c) > std::fabs(e)) {
    const double r = e / c;
    const double t = 1.0 / (c + e * r);
    return {(u + v * r) * t, (v - u * r) * t};
  }
  // Also when |c| or |e| is NaN.
  const double r = c / e;
  const double t = 1.0 / (c * r + e);
  return {(u * r + v) * t, (v * r - u) * t};
}

// The quotient's rare cases: outside the normal range, on a midpoint, or
// where the long double format is not the x87 one.
double quotient_rounded_once_rest(double n, long double d, long double q) {
  const double nearest = static_cast<double>(q);
  if (!std::isfinite(q) || static_cast<long double>(nearest) == q) return nearest;

  // q is inexact as a double. Converting it rounds correctly unless q lies
  // exactly halfway between two doubles: then q's own rounding decides, and
  // the exact residual n - q*d tells on which side the true quotient lies.
  const double other = std::nextafter(nearest, q > nearest ? HUGE_VAL : -HUGE_VAL);
  const long double midpoint = (static_cast<long double>(nearest) + other) / 2;
  if (q != midpoint) return nearest;
  const long double residual = std::fma(-q, d, static_cast<long double>(n));
  if (residual == 0) return nearest;  // a true tie, already rounded to even
  // n/d - q = residual/d: step q one long-double ulp towards the true value,
  // off the midpoint, and the conversion goes the right way.
  const bool true_above = (residual > 0) == (d > 0);
  return static_cast<double>(std::nextafter(q, true_above ? HUGE_VALL : -HUGE_VALL));
}

}  // namespace cxfun::platform
