// Accuracy of the numerical routines against MPC at 256 bits, on a fixed
// sample of arguments in all four quadrants with parts and moduli from 1e-10
// to 1e10, and around the points +1, -1, +i and -i.
//
// The error of a result w against the exact value e is normwise, in units of
// 2^-53: |w - e| / |e| / 2^-53. In three kinds of region the result is a
// small difference of larger terms by the routine's design, and its error
// there is bounded in absolute terms, |w - e| / c / 2^-53, c the size of the
// cancelled terms:
//   - the arcsine (and the inverse hyperbolic sine) by the logarithmic method
//     for 0.1 < |z| <= 1, whose real part is pi - (pi/2 + arg G), c = pi/2;
//   - the arccosine and the inverse hyperbolic cosine near z = 1
//     (|z - 1| < 1/4), pi/2 - asin z, c = pi/2;
//   - the logarithm near z = 1, ln R of a rounded R close to 1, c = 1.
#include <gtest/gtest.h>
#include <mpc.h>

#include <cmath>
#include <cstdio>
#include <vector>

#include "complex/complex_routines.h"
#include "reference.h"
#include "samples.h"

namespace cxfun {
namespace {

using reference::kPrecision;
constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = 1.5707963267948966;

// The fixed-seed generator of the accuracy tool, so the sample is the same
// on every platform and standard library.
using sampling::Sampler;

std::vector<Complex> make_sample() {
  Sampler s(20261211);
  std::vector<Complex> sample;
  auto add = [&](double x, double y) { sample.push_back({x, y}); };
  for (int i = 0; i < 2000; ++i) {  // parts independent: near the axes as well
    const double x = s.sign() * s.log_uniform(-10, 10);
    add(x, s.sign() * s.log_uniform(-10, 10));
  }
  for (int i = 0; i < 1000; ++i) {  // modulus and angle
    const double r = s.log_uniform(-10, 10);
    const double t = kPi * (2.0 * s.uniform() - 1.0);
    add(r * std::cos(t), r * std::sin(t));
  }
  // Around +-1 and +-i at distances 1e-7 to 1e-1: far enough from +-i that
  // the arctangent records no message.
  const Complex centres[4] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  for (int i = 0; i < 1000; ++i) {
    const Complex c = centres[i % 4];
    const double d = s.log_uniform(-7, -1);
    const double t = kPi * (2.0 * s.uniform() - 1.0);
    add(c.re + d * std::cos(t), c.im + d * std::sin(t));
  }
  return sample;
}

bool near_one(const Complex& z) { return std::hypot(z.re - 1.0, z.im) < 0.25; }

bool logarithmic_inside_unit_circle(const Complex& z) {
  const double r = std::hypot(z.re, z.im);
  return r > 0.1 && r <= 1.0;
}

using Ours = Complex (*)(const Complex&);
using Zone = bool (*)(const Complex&);
using Reference = void (*)(mpc_t, const mpc_t);

template <void (*routine)(Complex&, const Complex&)>
Complex call(const Complex& z) {
  Complex w;
  routine(w, z);
  return w;
}

struct Function {
  const char* name;
  Ours ours;
  Reference reference;
  Zone zone;          // where the error is measured in absolute terms, or null
  double zone_scale;  // c of the absolute measure
  double bound;       // largest error allowed, in units of 2^-53
  double zone_bound;  // the same inside the zone
};

// The bounds are the largest errors measured on this sample, with a margin.
const Function kFunctions[] = {
    {"ZA1S",
     [](const Complex& z) {
       return Complex{ZA1S(z), 0.0};
     },
     [](mpc_t w, const mpc_t z) {
       mpc_abs(mpc_realref(w), z, MPFR_RNDN);
       mpfr_set_zero(mpc_imagref(w), 1);
     },
     nullptr, 0, 3, 0},
    {"ZARG",
     [](const Complex& z) {
       return Complex{ZARG(z), 0.0};
     },
     [](mpc_t w, const mpc_t z) {
       mpc_arg(mpc_realref(w), z, MPFR_RNDN);
       mpfr_set_zero(mpc_imagref(w), 1);
     },
     nullptr, 0, 1.5, 0},
    {"ZS1RT", call<ZS1RT>, [](mpc_t w, const mpc_t z) { mpc_sqrt(w, z, MPC_RNDNN); }, nullptr, 0, 3,
     0},
    {"ZL1G", call<ZL1G>, [](mpc_t w, const mpc_t z) { mpc_log(w, z, MPC_RNDNN); }, near_one, 1, 3,
     2.5},
    {"ZASIN", call<ZASIN>, [](mpc_t w, const mpc_t z) { mpc_asin(w, z, MPC_RNDNN); },
     logarithmic_inside_unit_circle, kHalfPi, 6, 4},
    {"ZACOS", call<ZACOS>, [](mpc_t w, const mpc_t z) { mpc_acos(w, z, MPC_RNDNN); }, near_one,
     kHalfPi, 4, 2.5},
    {"ZATAN", call<ZATAN>, [](mpc_t w, const mpc_t z) { mpc_atan(w, z, MPC_RNDNN); }, nullptr, 0, 5,
     0},
    {"ZASINH", call<ZASINH>, [](mpc_t w, const mpc_t z) { mpc_asinh(w, z, MPC_RNDNN); },
     logarithmic_inside_unit_circle, kHalfPi, 6, 4},
    {"ZACOSH", call<ZACOSH>, [](mpc_t w, const mpc_t z) { mpc_acosh(w, z, MPC_RNDNN); }, near_one,
     kHalfPi, 4, 2.5},
    {"ZATANH", call<ZATANH>, [](mpc_t w, const mpc_t z) { mpc_atanh(w, z, MPC_RNDNN); }, nullptr, 0,
     5, 0},
};

// |w - e| / scale / 2^-53, with scale = |e| or, for the absolute measure, c.
double error_units(const Complex& w, const mpc_t exact, double absolute_scale) {
  return reference::error_ratio(w, exact, absolute_scale) * 0x1p53;
}

TEST(AccuracyTest, LargestErrorPerFunction) {
  const std::vector<Complex> sample = make_sample();
  mpc_t z;
  mpc_t exact;
  mpc_init2(z, kPrecision);
  mpc_init2(exact, kPrecision);
  std::printf("%-8s %10s  %-44s %10s\n", "routine", "normwise", "at", "absolute");
  for (const Function& f : kFunctions) {
    double worst = 0;
    double worst_zone = 0;
    Complex worst_at{0, 0};
    for (const Complex& a : sample) {
      const Complex w = f.ours(a);
      mpc_set_d_d(z, a.re, a.im, MPC_RNDNN);
      f.reference(exact, z);
      const bool zone = f.zone != nullptr && f.zone(a);
      const double e = error_units(w, exact, zone ? f.zone_scale : 0.0);
      ASSERT_FALSE(std::isnan(e)) << f.name << "(" << a.re << ", " << a.im << ")";
      if (zone) {
        worst_zone = std::fmax(worst_zone, e);
      } else if (e > worst) {
        worst = e;
        worst_at = a;
      }
    }
    char at[64];
    std::snprintf(at, sizeof at, "(%.17g, %.17g)", worst_at.re, worst_at.im);
    std::printf("%-8s %10.3f  %-44s %10.3f\n", f.name, worst, at, worst_zone);
    EXPECT_LE(worst, f.bound) << f.name << " at " << at;
    EXPECT_LE(worst_zone, f.zone_bound) << f.name << " in its absolute-only region";
  }
  mpc_clear(z);
  mpc_clear(exact);
}

}  // namespace
}  // namespace cxfun
