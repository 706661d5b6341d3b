// The complex logarithm, square root and division that the direct entry
// points are built from. Each is written out operation by operation in plain
// double arithmetic, so that special values, signs of zero and last bits come
// out the same at every optimisation level. None of them ends the process or
// reports anything: infinities and NaN pass through silently.
#ifndef CXFUN_EXPORTS_PLATFORM_COMPLEX_H
#define CXFUN_EXPORTS_PLATFORM_COMPLEX_H

#include <cstdint>
#include <cstring>
#include <limits>

#include "machine/complex_value.h"

namespace cxfun::platform {

// Modulus of (x, y): the larger part times sqrt(1 + r*r), r the ratio of the
// smaller to the larger. A zero or NaN part is skipped, so m is the other
// part's magnitude; two infinite parts give NaN. May overflow to +inf.
double modulus(double x, double y);

// Principal natural logarithm: (ln |z|, atan2(im, re)).
Complex principal_log(const Complex& z);

// Principal square root; its real part is never negative for a numeric z.
Complex principal_sqrt(const Complex& z);

// The quotient n / d, formed with the reciprocal of the divisor's scaled norm.
Complex quotient(const Complex& n, const Complex& d);

// The rare cases of quotient_rounded_once, with q = n / d.
double quotient_rounded_once_rest(double n, long double d, long double q);

// The double nearest to n / d, where d keeps a 64-bit significand: the
// quotient is rounded once, not to long double first and then to double.
// Inline: the common case is a division and a look at the quotient's bits.
inline double quotient_rounded_once(double n, long double d) {
  const long double q = n / d;
  if constexpr (std::numeric_limits<long double>::digits == 64 &&
                std::numeric_limits<long double>::max_exponent == 16384) {
    // The x87 80-bit format: a 64-bit significand with an explicit leading
    // bit, then the sign and the exponent biased by 16383. Where q's binade
    // is that of a normal double, the conversion drops exactly the low 11
    // bits of the significand, and q lies halfway between two doubles
    // exactly when those bits are 10000000000. In every other case the
    // conversion rounds q as the true quotient would round: no midpoint can
    // lie strictly between the two, since a midpoint is itself a long double
    // and q is the one nearest to the true quotient.
    std::uint64_t significand;
    std::uint16_t sign_exponent;
    std::memcpy(&significand, &q, sizeof significand);
    std::memcpy(&sign_exponent, reinterpret_cast<const unsigned char*>(&q) + sizeof significand,
                sizeof sign_exponent);
    const int binade = (sign_exponent & 0x7FFF) - 16383;
    if (binade >= -1022 && binade <= 1023 && (significand & 0x7FF) != 0x400) {
      return static_cast<double>(q);
    }
  }
  return quotient_rounded_once_rest(n, d, q);
}

}  // namespace cxfun::platform

#endif
