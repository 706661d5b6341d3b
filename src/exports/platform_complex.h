// The complex logarithm, square root and division that the direct entry
// points are built from. Each is written out operation by operation in plain
// double arithmetic, so that special values, signs of zero and last bits come
// out the same at every optimisation level. None of them ends the process or
// reports anything: infinities and NaN pass through silently.
#ifndef CXFUN_EXPORTS_PLATFORM_COMPLEX_H
#define CXFUN_EXPORTS_PLATFORM_COMPLEX_H

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

// The double nearest to n / d, where d keeps a 64-bit significand: the
// quotient is rounded once, not to long double first and then to double.
double quotient_rounded_once(double n, long double d);

}  // namespace cxfun::platform

#endif
