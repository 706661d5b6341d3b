// The four entry points that compute their result directly: square root,
// natural logarithm, logarithm to a real base, and the logarithm of one real
// to the base of another. They keep no state and report nothing; the only
// way they fail is a base without a real logarithm in cxfun_log, which ends
// the process with the platform's fatal math error.
//
// Inputs are read first and second input in that order, outputs written real
// part first. The accesses go through volatile so that this order is the
// order in memory, whatever the optimiser does.
#include <bit>
#include <cstdint>

#include "cxfun.h"
#include "exports/platform_complex.h"
#include "machine/complex_value.h"
#include "runtime/checked_math.h"

namespace {

using cxfun::Complex;

double load(const double* from) { return *static_cast<const volatile double*>(from); }

void store(double* to, double value) { *static_cast<volatile double*>(to) = value; }

// Hides a constant's value from the optimiser, so that every product and sum
// of the composition below is really formed in double arithmetic.
double opaque(double value) {
  asm("" : "+m"(value));
  return value;
}

// z = ((a * 1) + (b * 0), (b * 1) + (0 * 1)). The cross term makes the real
// part NaN when b is infinite or NaN, and the added zero turns an imaginary
// -0 into +0, so a real argument lies on the upper side of the cut.
Complex compose(double a, double b) {
  const double one = opaque(1.0);
  const double zero = opaque(0.0);
  return {(a * one) + (b * zero), (b * one) + (zero * one)};
}

// A real x as the complex (x * 1, 0 * 1): infinities stay, and -0 stays -0.
Complex compose_real(double x) {
  const double one = opaque(1.0);
  const double zero = opaque(0.0);
  return {x * one, zero * one};
}

// The x87 control word (precision and rounding), which decides the extended
// logarithm's last bits; 0 where there is no x87 unit.
std::uint16_t extended_control() {
#if defined(__i386__) || defined(__x86_64__)
  std::uint16_t word;
  asm volatile("fnstcw %0" : "=m"(word));
  return word;
#else
  return 0;
#endif
}

// The last base this thread took the logarithm of, under which x87 control
// word, and that logarithm with its 64-bit significand. A host that takes
// many logarithms to one base pays for the extended logarithm once. The kept
// value is the one the checked logarithm gives for exactly these bits under
// exactly this control word, so no result can tell it from a fresh one. A
// base without a logarithm ends the process before anything is kept.
struct BaseLogarithm {
  std::uint64_t base_bits;
  std::uint16_t control;
  bool filled;
  long double divisor;
};

#if defined(__ELF__)
// Initial-exec: a plain thread-pointer access, no call; 32 bytes of the
// static TLS that the loader keeps for libraries opened later.
[[gnu::tls_model("initial-exec")]]
#endif
thread_local BaseLogarithm t_last_base{0, 0, false, 0.0L};

long double base_logarithm(double base) {
  BaseLogarithm& last = t_last_base;
  const std::uint64_t bits = std::bit_cast<std::uint64_t>(base);
  const std::uint16_t control = extended_control();
  if (last.filled && last.base_bits == bits && last.control == control) return last.divisor;
  const long double divisor = cxfun::checked_log_extended(base);
  last = {bits, control, true, divisor};
  return divisor;
}

void deliver(const Complex& result, double* re, double* im) {
  store(re, result.re);
  store(im, result.im);
}

}  // namespace

extern "C" {

CXFUN_API void CXFUN_CALL cxfun_sqrt(const double* a, const double* b, double* re, double* im) {
  const double x = load(a);
  const double y = load(b);
  deliver(cxfun::platform::principal_sqrt(compose(x, y)), re, im);
}

CXFUN_API void CXFUN_CALL cxfun_ln(const double* a, const double* b, double* re, double* im) {
  const double x = load(a);
  const double y = load(b);
  deliver(cxfun::platform::principal_log(compose(x, y)), re, im);
}

CXFUN_API void CXFUN_CALL cxfun_log(const double* a, const double* b, const double* base,
                                    double* re, double* im) {
  const double x = load(a);
  const double y = load(b);
  Complex l = cxfun::platform::principal_log(compose(x, y));
  // ln z is complete in memory before the base is touched: a base without a
  // logarithm ends the process only after it.
  asm volatile("" : "+m"(l)::"memory");
  // The divisor keeps its 64-bit significand; each part is rounded once.
  const long double d = base_logarithm(load(base));
  store(re, cxfun::platform::quotient_rounded_once(l.re, d));
  store(im, cxfun::platform::quotient_rounded_once(l.im, d));
}

CXFUN_API void CXFUN_CALL cxfun_cdlog(const double* x, const double* base, double* re, double* im) {
  const double number = load(x);
  const double b = load(base);
  const Complex p = cxfun::platform::principal_log(compose_real(number));
  const Complex q = cxfun::platform::principal_log(compose_real(b));
  deliver(cxfun::platform::quotient(p, q), re, im);
}

}  // extern "C"
