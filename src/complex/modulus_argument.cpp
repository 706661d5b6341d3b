// The modulus ZA1S out of line (its common case is inline, in
// inline_routines.h): the first call, which fills the constants, and moduli
// near and beyond the largest double, where the overflow error is recorded.
#include <atomic>
#include <cmath>

#include "complex/complex_routines.h"
#include "errors/parameters.h"
#include "errors/routine_stack.h"
#include "machine/machine.h"
#include "runtime/checked_math.h"

namespace cxfun {
namespace modulus_detail {
namespace {

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

std::atomic<const ModulusConstants*> g_filled_constants{nullptr};

double modulus_with_scope(const Complex& z, double big, double small) {
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

}  // namespace modulus_detail
}  // namespace cxfun
