// The wide-range parts of the square root and the logarithm (inline_routines.h):
// moduli whose squares would overflow or underflow a double are formed with
// the parts scaled by a power of two, exactly, and every rounding then
// happens where it would in an unbounded exponent range.
#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>

#include "complex/inline_routines.h"
#include "runtime/checked_math.h"

namespace cxfun {
namespace root_log_detail {
namespace {

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

}  // namespace

WideValue modulus_wide_scaled(double x, double y) {
  const double a = std::fabs(x);
  const double b = std::fabs(y);
  const double big = a > b ? a : b;
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

// The platform root sees the value scaled by an even power of two, so its
// result is scaled back exactly.
double half_sum_root_scaled(double x, const WideValue& r) {
  const double half = (std::fabs(times_power_of_two(x, -r.exponent)) + r.scaled) * 0.5;
  const int odd = r.exponent & 1;
  return times_power_of_two(checked_sqrt(times_power_of_two(half, odd)), (r.exponent - odd) / 2);
}

// A normal R goes to the platform logarithm as it is; an R below the normal
// range or above the largest double is taken at its exact wide value with a
// 64-bit significand.
double log_wide_scaled(const WideValue& r) {
  // R's scaled part lies in [1/2, 2): its binade is frexp's exponent less one.
  const int binade = frexp_exponent(r.scaled) - 1 + r.exponent;
  if (binade >= -1022 && binade <= 1023) {
    return checked_log(times_power_of_two(r.scaled, r.exponent));
  }
  return static_cast<double>(
      checked_log_extended(std::ldexp(static_cast<long double>(r.scaled), r.exponent)));
}

}  // namespace root_log_detail
}  // namespace cxfun
