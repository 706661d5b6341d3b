// Real square root, natural logarithm and two-argument arctangent with the
// platform's fatal math errors. A NaN argument, a negative square root or
// logarithm, the logarithm of zero and the arctangent of two infinities do not
// return: the process ends with the run-time error message and exit status 3.
// The numerical routines rely on this wherever a NaN reaches them.
#ifndef CXFUN_RUNTIME_CHECKED_MATH_H
#define CXFUN_RUNTIME_CHECKED_MATH_H

#include <cmath>

namespace cxfun {

enum class MathFault { kDomain, kSingularity };

// Writes "\r\nrun-time error M620n: MATH\r\n- <function>: <DOMAIN|SING> error\r\n"
// where the platform shows run-time errors, then ends the process with status 3
// after ordinary exit processing.
[[noreturn]] void fatal_math_error(const char* function, MathFault fault);

inline double checked_sqrt(double v) {
  // v >= 0 is false exactly for negative numbers and NaN; -0 is allowed.
  if (!(v >= 0.0)) [[unlikely]] fatal_math_error("sqrt", MathFault::kDomain);
  return std::sqrt(v);
}

inline double checked_log(double v) {
  if (!(v > 0.0)) [[unlikely]] {
    fatal_math_error("log", v == 0.0 ? MathFault::kSingularity : MathFault::kDomain);
  }
  return std::log(v);
}

// The logarithm with a 64-bit significand, for divisors that must not be
// rounded to double before use.
inline long double checked_log_extended(long double v) {
  if (!(v > 0.0L)) [[unlikely]] {
    fatal_math_error("log", v == 0.0L ? MathFault::kSingularity : MathFault::kDomain);
  }
  return std::log(v);
}

inline double checked_atan2(double y, double x) {
  if (std::isnan(y) || std::isnan(x) || (std::isinf(y) && std::isinf(x))) [[unlikely]] {
    fatal_math_error("atan2", MathFault::kDomain);
  }
  return std::atan2(y, x);
}

}  // namespace cxfun

#endif
