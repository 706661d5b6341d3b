// Principal square root and logarithm of a complex value.
//
// Both start from R = sqrt(x^2 + y^2) formed from the squares directly, each
// operation rounded to 53 bits as in double arithmetic but in an exponent
// range wide enough that no square, sum or root overflows or underflows. R
// is carried as a double and a power of two, and never rounded to the double
// range before it is used.
//
//   sqrt z = (S, T) for x >= 0, with S = sqrt((|x| + R) / 2), T = y / (2S);
//            (|T|, +-S) for x < 0, the sign of y choosing (a zero y counts
//            as positive, so the negative real axis gives +i sqrt|x|).
//   ln z   = (ln R, arg z).
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>

#include "complex/complex_routines.h"
#include "errors/routine_stack.h"
#include "runtime/checked_math.h"

namespace cxfun {
namespace {

// The value scaled * 2^exponent.
struct WideValue {
  double scaled;
  int exponent;
};

// v * 2^k, the same double as ldexp(v, k): where 2^k is a double (normal or
// subnormal), the product is the exact value rounded once, as ldexp rounds
// it, without the call.
double times_power_of_two(double v, int k) {
  if (k >= -1022 && k <= 1023) {
    return v * std::bit_cast<double>(static_cast<std::uint64_t>(k + 1023) << 52);
  }
  if (k >= -1074 && k < -1022) return v * std::bit_cast<double>(std::uint64_t{1} << (k + 1074));
  return std::ldexp(v, k);
}

// The binary exponent of a positive finite v: e with v = f * 2^e, 1/2 <= f < 1
// (frexp's exponent), read from the bits where v is normal.
int frexp_exponent(double v) {
  if (v >= DBL_MIN) return static_cast<int>((std::bit_cast<std::uint64_t>(v) >> 52) & 0x7FF) - 1022;
  int e = 0;
  std::frexp(v, &e);
  return e;
}

// R = sqrt(x*x + y*y) with 53-bit roundings and an unbounded exponent range.
// Zero, infinite and NaN moduli come back with the exponent 0.
WideValue modulus_wide(double x, double y) {
  const double a = std::fabs(x);
  const double b = std::fabs(y);
  const double big = a > b ? a : b;
  if (big >= 0x1p-460 && big <= 0x1p500) {
    // The squares stay below 2^1001. A square that falls below the normal
    // range is smaller than half an ulp of the larger square (at least
    // 2^-920), so the sum rounds as it would in the wide range.
    return {std::sqrt(x * x + y * y), 0};
  }
  if (std::isnan(a) || std::isnan(b)) return {std::nan(""), 0};
  if (big == 0.0 || std::isinf(big)) return {big, 0};
  // Scaling both parts by the same power of two is exact (a part that drops
  // into the subnormal range on the way is negligible against the other),
  // and every rounding then happens exactly where the wide one would.
  const int exponent = frexp_exponent(big);
  const double xs = times_power_of_two(x, -exponent);
  const double ys = times_power_of_two(y, -exponent);
  return {std::sqrt(xs * xs + ys * ys), exponent};
}

// sqrt((|x| + R) * 0.5) with the sum and the halving in the wide range. The
// platform root sees the value scaled by an even power of two, so its result
// is scaled back exactly.
double half_sum_root(double x, const WideValue& r) {
  if (r.exponent == 0) return checked_sqrt((std::fabs(x) + r.scaled) * 0.5);
  const double half = (std::fabs(times_power_of_two(x, -r.exponent)) + r.scaled) * 0.5;
  const int odd = r.exponent & 1;
  return times_power_of_two(checked_sqrt(times_power_of_two(half, odd)), (r.exponent - odd) / 2);
}

// ln R rounded to double. A normal R goes to the platform logarithm as it
// is; an R below the normal range or above the largest double is taken at its
// exact wide value with a 64-bit significand.
double log_wide(const WideValue& r) {
  if (r.exponent == 0) return checked_log(r.scaled);  // 0, NaN and +inf included
  // R's scaled part lies in [1/2, 2): its binade is frexp's exponent less one.
  const int binade = frexp_exponent(r.scaled) - 1 + r.exponent;
  if (binade >= -1022 && binade <= 1023) {
    return checked_log(times_power_of_two(r.scaled, r.exponent));
  }
  return static_cast<double>(
      checked_log_extended(std::ldexp(static_cast<long double>(r.scaled), r.exponent)));
}

}  // namespace

void ZS1RT(Complex& result, const Complex& z) {
  RoutineScope scope("ZS1RT ");
  const double x = z.re;
  const double y = z.im;
  const WideValue r = modulus_wide(x, y);
  if (r.scaled == 0.0 || std::isnan(r.scaled)) {
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

void ZL1G(Complex& result, const Complex& z) {
  RoutineScope scope("ZL1G  ");
  // No test for z = 0: the logarithm of R = 0 ends the process.
  const double l = log_wide(modulus_wide(z.re, z.im));
  const double a = ZARG(z);
  result = {l, a};
}

}  // namespace cxfun
