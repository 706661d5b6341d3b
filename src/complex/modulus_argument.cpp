// Modulus of a complex value.
//
// ZA1S forms |z| as M * sqrt(1 + (m/M)^2), M the larger and m the smaller part
// in magnitude, so no square of a part is ever formed: nothing overflows or
// underflows on the way, and only a modulus beyond the largest double is an
// error.
#include <atomic>
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

// The same constants once a call has filled them, else null: published only
// after they are complete.
std::atomic<const ModulusConstants*> g_filled_constants{nullptr};

constexpr char kOverflowMessage[] = "The function overflows because Z = %(Z1) is too large.";
static_assert(sizeof(kOverflowMessage) - 1 == 54);

// |z| for z whose parts are sorted into `big` and `small`, with the
// constants c, not beyond the overflow bound b1.
double modulus_below_bound(double big, double small, const ModulusConstants& c) {
  if (small <= c.e * big) return big;  // m*m is below the rounding unit of M*M: no division, no root
  const double q = small / big;
  return big * checked_sqrt(1.0 + q * q);
}

// ZA1S in full: every path that can record the overflow error, and the first
// call, which fills the constants.
[[gnu::noinline]] double modulus_with_scope(const Complex& z, double big, double small) {
  RoutineScope scope("ZA1S  ");
  const ModulusConstants& c = modulus_constants();
  g_filled_constants.store(&c, std::memory_order_release);
  if (!(big > c.b1)) return modulus_below_bound(big, small, c);

  // The large case: no shortcut for a negligible smaller part; r*r then
  // vanishes against 1 and s is 1.
  const double r = small / big;
  const double s = checked_sqrt(1.0 + r * r);
  if (c.b / s < big) {
    // No value: the quiet NaN is kept, and never delivered, since the
    // terminal error ends the process when this routine returns.
    const double nan = DMACH(6);
    ERPUTZ(1, z);
    E1MES(kTerminal, 4, kOverflowMessage, 54);
    return nan;
  }
  return s * big;
}

}  // namespace

double ZA1S(const Complex& z) {
  const double a = std::fabs(z.re);
  const double b = std::fabs(z.im);
  // With a NaN part the order does not matter: a NaN reaches the square root
  // below on every path, whichever of the two it lands in.
  const double big = a > b ? a : b;
  const double small = a > b ? b : a;
  // Below the bound nothing can be recorded: the routine then pushes and
  // pops its name as a leaf does.
  const ModulusConstants* c = g_filled_constants.load(std::memory_order_acquire);
  if (c == nullptr || big > c->b1) return modulus_with_scope(z, big, small);
  LeafRoutineScope scope("ZA1S  ");
  return modulus_below_bound(big, small, *c);
}

}  // namespace cxfun
