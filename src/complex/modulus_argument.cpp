// Modulus and argument of a complex value.
//
// ZA1S forms |z| as M * sqrt(1 + (m/M)^2), M the larger and m the smaller part
// in magnitude, so no square of a part is ever formed: nothing overflows or
// underflows on the way, and only a modulus beyond the largest double is an
// error. ZARG is the two-argument arctangent with 0 at the origin.
#include <cmath>

#include "complex/complex_routines.h"
#include "errors/parameters.h"
#include "errors/routine_stack.h"
#include "machine/machine.h"
#include "runtime/checked_math.h"

namespace cxfun {
namespace {

struct ModulusConstants {
  double e;   // root of the spacing: below e*M the smaller part is negligible
  double b;   // the largest double
  double b1;  // the largest double / 1.415: below it M*sqrt(1 + r*r) stays finite
};

// Filled once, completely, before any call can read it (a function-local
// static is initialised by one thread while the others wait).
const ModulusConstants& modulus_constants() {
  static const ModulusConstants constants = [] {
    ModulusConstants c;
    c.e = checked_sqrt(DMACH(4));
    c.b = DMACH(2);
    c.b1 = DMACH(2) / 1.415;
    return c;
  }();
  return constants;
}

constexpr char kOverflowMessage[] = "The function overflows because Z = %(Z1) is too large.";
static_assert(sizeof(kOverflowMessage) - 1 == 54);

}  // namespace

double ZA1S(const Complex& z) {
  RoutineScope scope("ZA1S  ");
  const ModulusConstants& c = modulus_constants();
  double result;

  const double a = std::fabs(z.re);
  const double b = std::fabs(z.im);
  // With a NaN part the order does not matter: a NaN reaches the square root
  // below on every path, whichever of the two it lands in.
  const double big = a > b ? a : b;
  const double small = a > b ? b : a;

  if (big > c.b1) {
    // The large case: no shortcut for a negligible smaller part; r*r then
    // vanishes against 1 and s is 1.
    const double r = small / big;
    const double s = checked_sqrt(1.0 + r * r);
    if (c.b / s < big) {
      // No value: the quiet NaN is kept, and never delivered, since the
      // terminal error ends the process when this routine returns.
      result = DMACH(6);
      ERPUTZ(1, z);
      E1MES(kTerminal, 4, kOverflowMessage, 54);
    } else {
      result = s * big;
    }
  } else if (small <= c.e * big) {
    result = big;  // m*m is below the rounding unit of M*M: no division, no root
  } else {
    const double q = small / big;
    result = big * checked_sqrt(1.0 + q * q);
  }
  return result;
}

double ZARG(const Complex& z) {
  RoutineScope scope("ZARG  ");
  // A part counts as zero unless it compares unequal to zero as a number:
  // a NaN part counts as zero here, so (NaN, 0) and (0, NaN) give 0.
  const bool re_zero = !(z.re < 0.0 || z.re > 0.0);
  const bool im_zero = !(z.im < 0.0 || z.im > 0.0);
  if (re_zero && im_zero) return 0.0;
  return checked_atan2(z.im, z.re);
}

}  // namespace cxfun
