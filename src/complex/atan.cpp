// Principal arctangent.
//
// With R = |z|:
//   R < s          atan z = z (z^3/3 is below the rounding unit of z);
//   s <= R <= 0.1  atan z = z * sum (-z^2)^k / (2k + 1), k = 0 .. N-1,
//                  summed from the highest term down;
//   R > 2^53       atan z = +-pi/2, the sign of x (x = -0 counts as +);
//   otherwise      Re = atan2(2x, 1 - R^2) / 2,
//                  Im = ln(|z + i|^2 / |z - i|^2) / 4,
//                  with |z +- i|^2 = (R^2 +- 2y) + 1.
// Within 2^-26 of |z| = 1 the singular points +i and -i are checked: a warning
// when z^2 is within 2^-26 of -1, a terminal error when z practically is +i or
// -i. The thresholds and N are derived once from the machine precision.
//
// Near +i and -i the three quantities 1 - R^2 and (R^2 +- 2y) + 1 cancel. Where
// one of them comes out below 1/2 in magnitude it is formed again from x and y
// as 1 - x^2 - y^2 or x^2 + (y +- 1)^2, which keep their digits there.
#include <cmath>

#include "complex/complex_routines.h"
#include "errors/parameters.h"
#include "errors/routine_stack.h"
#include "machine/machine.h"
#include "runtime/checked_math.h"

namespace cxfun {
namespace {

constexpr double kHalfPi = 1.5707963267948966;

struct ArctangentConstants {
  int n;     // series length
  double b;  // the band around |z| = 1, and the bound for |1 + z^2|
  double s;  // below s the argument is its own arctangent
  double h;  // above h the result is +-pi/2
  double m;  // the margin around +i and -i
};

// Filled once, completely, before any call can read it.
const ArctangentConstants& arctangent_constants() {
  static const ArctangentConstants constants = [] {
    ArctangentConstants c;
    c.n = static_cast<int>(1.0 - 0.4343 * checked_log(DMACH(3)));
    c.b = checked_sqrt(DMACH(4));
    c.s = checked_sqrt(3.0 * DMACH(3));
    c.h = 1.0 / DMACH(3);
    c.m = 10.0 * DMACH(4);
    return c;
  }();
  return constants;
}

constexpr char kWarningMessage[] =
    "The result is accurate to less than one half precision because Z**2 is too close to a -1.0 .";
static_assert(sizeof(kWarningMessage) - 1 == 92);
constexpr char kSingularMessage[] =
    "Z = %(Z1) is so close to +i or -i that all precision is lost because DATAN is nearly "
    "singular.";
static_assert(sizeof(kSingularMessage) - 1 == 94);

// z * sum (-W)^k / (2k+1) as S = 1/d - W * S for d = 2N-1, 2N-3, ..., 1.
Complex arctangent_series(double x, double y, int n) {
  const double a = x * x - y * y;
  const double b = x * y + y * x;
  double s_re = 0.0;
  double s_im = 0.0;
  double d = static_cast<double>(2 * n - 1);
  for (int pass = 0; pass < n; ++pass) {
    const double re = 1.0 / d - (a * s_re - b * s_im);
    const double im = -(a * s_im + b * s_re);
    s_re = re;
    s_im = im;
    d = d - 2.0;
  }
  return {x * s_re - y * s_im, x * s_im + y * s_re};
}

// a + b = s + e exactly.
void two_sum(double a, double b, double& s, double& e) {
  s = a + b;
  const double bv = s - a;
  e = (a - (s - bv)) + (b - bv);
}

// 1 - x^2 - y^2 to within about an ulp: the squares split exactly into a
// double and its rounding error, and the sum is carried with its error.
double one_minus_square_sum(double x, double y) {
  const double xx = x * x;
  const double xx_err = std::fma(x, x, -xx);
  const double yy = y * y;
  const double yy_err = std::fma(y, y, -yy);
  double s1, e1, s2, e2;
  two_sum(1.0, -xx, s1, e1);
  two_sum(s1, -yy, s2, e2);
  return s2 + (((e1 + e2) - xx_err) - yy_err);
}

}  // namespace

void ZATAN(Complex& result, const Complex& z) {
  RoutineScope scope("ZATAN ");
  Complex w;
  const ArctangentConstants& c = arctangent_constants();
  const double x = z.re;
  const double y = z.im;
  const double r = ZA1S(z);

  if (!(r > 0.1)) {
    // The series radius; a NaN modulus would be copied through here.
    w = !(r >= c.s) ? z : arctangent_series(x, y, c.n);
    result = w;
    return;
  }
  if (r > c.h) {
    w = {x >= 0.0 ? kHalfPi : -kHalfPi, 0.0};
    result = w;
    return;
  }

  const double r2 = r * r;
  const double two_y = y * 2.0;
  double plus = (r2 + two_y) + 1.0;   // |z + i|^2
  double minus = (r2 - two_y) + 1.0;  // |z - i|^2
  if (std::fabs(r2 - 1.0) <= c.b) {
    const double q = ZA1S(Complex{x * x - y * y + 1.0, x * y + y * x + 0.0});
    if (!(q >= c.b)) E1MES(kWarning, 2, kWarningMessage, 92);
    if (!(plus >= c.m) || !(minus >= c.m)) {
      // No value: both parts are the quiet NaN, never delivered, since the
      // terminal error ends the process when this routine returns.
      const double nan = DMACH(6);
      ERPUTZ(1, z);
      E1MES(kTerminal, 5, kSingularMessage, 94);
      result = {nan, nan};
      return;
    }
  }

  double one_minus = 1.0 - r2;
  if (std::fabs(one_minus) < 0.5) one_minus = one_minus_square_sum(x, y);
  if (plus < 0.5) plus = x * x + (y + 1.0) * (y + 1.0);
  if (minus < 0.5) minus = x * x + (y - 1.0) * (y - 1.0);

  w.re = 0.5 * checked_atan2(x * 2.0, one_minus);
  w.im = 0.25 * checked_log(plus / minus);
  result = w;
}

}  // namespace cxfun
