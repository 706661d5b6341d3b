// Results of the numerical routines at the arguments that show their paths,
// thresholds, branch cuts and special values. A row with 0 ulps is exact
// (bit pattern, sign of zero, copied argument, constant); otherwise each part
// lies within the given number of units in the last place of the larger
// part, the rounding unit of the result as a whole. An expected zero is
// always exact, sign included.
#include "complex/complex_routines.h"

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

namespace cxfun {
namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = 1.5707963267948966;

std::string show(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%.17g", v);
  return text;
}

std::string show(const Complex& z) {
  char text[96];
  std::snprintf(text, sizeof text, "(%.17g, %.17g)", z.re, z.im);
  return text;
}

// True when got is expected within `ulps` units of the last place of `scale`.
bool close(double got, double expected, int ulps, double scale) {
  if (std::isnan(expected)) return std::isnan(got);
  if (ulps == 0 || expected == 0.0 || std::isinf(expected)) {
    return std::bit_cast<std::uint64_t>(got) == std::bit_cast<std::uint64_t>(expected);
  }
  const double unit = std::ldexp(1.0, std::ilogb(scale) - 52);
  return std::fabs(got - expected) <= ulps * unit;
}

::testing::AssertionResult matches(const Complex& got, const Complex& expected, int ulps) {
  const double scale = std::fmax(std::fabs(expected.re), std::fabs(expected.im));
  if (close(got.re, expected.re, ulps, scale) && close(got.im, expected.im, ulps, scale)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "got " << show(got) << ", expected " << show(expected) << " within " << ulps << " ulps";
}

using ComplexRoutine = void (*)(Complex&, const Complex&);

struct Case {
  Complex z;
  Complex expected;
  int ulps;
  const char* why;
};

void check_table(ComplexRoutine routine, const char* name, const Case* cases, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const Case& c = cases[i];
    Complex w{kNaN, kNaN};
    routine(w, c.z);
    EXPECT_TRUE(matches(w, c.expected, c.ulps)) << name << show(c.z) << ": " << c.why;
  }
}

template <std::size_t N>
void check_table(ComplexRoutine routine, const char* name, const Case (&cases)[N]) {
  check_table(routine, name, cases, N);
}

struct RealCase {
  Complex z;
  double expected;
  int ulps;
  const char* why;
};

TEST(ModulusTest, Table) {
  const RealCase cases[] = {
      {{3, 4}, 5, 0, "4 * sqrt(1 + 0.75^2) is exact"},
      {{0, 0}, 0, 0, "the smaller part is negligible: no division"},
      {{-5, 0}, 5, 0, "the larger part itself"},
      {{1e300, 1e300}, 1.4142135623730952e+300, 4, "no overflow on the way"},
      {{1e-200, 1e-200}, 1.414213562373095e-200, 4, "no underflow on the way"},
      {{1e308, 1}, 1e308, 0, "negligible smaller part"},
      {{1.7e308, 1e300}, 1.7e308, 0, "large case, s = 1, no error"},
      {{-1.5e308, 1.5e307}, 1.5074813431681335e+308, 4, "large case with a finite modulus"},
  };
  for (const RealCase& c : cases) {
    EXPECT_TRUE(close(ZA1S(c.z), c.expected, c.ulps, c.expected))
        << "ZA1S" << show(c.z) << " = " << show(ZA1S(c.z)) << ": " << c.why;
  }
}

TEST(ArgumentTest, Table) {
  const RealCase cases[] = {
      {{1, 1}, kPi / 4, 1, "first diagonal"},
      {{0, -2}, -kHalfPi, 0, "lower imaginary axis"},
      {{-1, 0}, kPi, 0, "negative real axis from above"},
      {{-1, -0.0}, -kPi, 0, "negative real axis from below"},
      {{0, 0}, 0, 0, "zero without the arctangent"},
      {{-0.0, -0.0}, 0, 0, "+0 for zeros of either sign"},
      {{kNaN, 0}, 0, 0, "a NaN part counts as zero"},
      {{0, kNaN}, 0, 0, "a NaN part counts as zero"},
      {{kNaN, kNaN}, 0, 0, "a NaN part counts as zero"},
  };
  for (const RealCase& c : cases) {
    EXPECT_TRUE(close(ZARG(c.z), c.expected, c.ulps, c.expected))
        << "ZARG" << show(c.z) << " = " << show(ZARG(c.z)) << ": " << c.why;
  }
}

TEST(SquareRootTest, Table) {
  const double r2 = 1.4142135623730951;
  const Case cases[] = {
      {{4, 0}, {2, 0}, 0, "positive real axis"},
      {{3, 4}, {2, 1}, 0, "first quadrant"},
      {{3, -4}, {2, -1}, 0, "fourth quadrant"},
      {{-3, 4}, {1, 2}, 0, "second quadrant"},
      {{-3, -4}, {1, -2}, 0, "third quadrant"},
      {{-4, 0}, {0, 2}, 0, "negative real axis from above"},
      {{-4, -0.0}, {0, 2}, 0, "negative real axis from below gives +i too"},
      {{0, -4}, {r2, -r2}, 2, "lower imaginary axis"},
      {{-0.0, -4}, {r2, -r2}, 2, "x = -0 counts as x >= 0"},
      {{0, 0}, {0, 0}, 0, "zero"},
      {{kNaN, 1}, {0, 0}, 0, "NaN modulus gives (0, 0)"},
      {{0, kNaN}, {0, 0}, 0, "NaN modulus gives (0, 0)"},
      {{-4, kNaN}, {0, 0}, 0, "NaN modulus gives (0, 0)"},
      {{5e307, 1.75e308},
       {1.0770393382602443e154, 8.1241229444172304e153},
       4,
       "modulus above the largest double is not rounded"},
      {{kInf, 0}, {kInf, 0}, 0, "+infinity"},
      {{-kInf, 0}, {0, kInf}, 0, "-infinity"},
      {{0x1p-400, 0x1.8p-1073},
       {0x1p-200, 0x1.8p-874},
       0,
       "a subnormal imaginary part keeps its last bit in y / 2S"},
  };
  check_table(ZS1RT, "ZS1RT", cases);
}

TEST(LogarithmTest, Table) {
  const Case cases[] = {
      {{1, 0}, {0, 0}, 0, "one"},
      {{3, 4}, {1.6094379124341003, 0.9272952180016122}, 2, "ln 5, atan2(4, 3)"},
      {{-1, 0}, {0, kPi}, 0, "negative real axis from above"},
      {{-1, -0.0}, {0, -kPi}, 0, "negative real axis from below"},
      {{1e-320, 1e-320}, {-736.4806673006939, kPi / 4}, 1, "R neither 0 nor subnormal"},
      {{1e300, 1e300}, {691.1221014884936, kPi / 4}, 1, "the squares do not overflow"},
      {{1.5e308, 1.5e308}, {709.94824734055419, kPi / 4}, 1, "R above the largest double"},
  };
  check_table(ZL1G, "ZL1G", cases);
}

TEST(ArcsineTest, Table) {
  const double acosh2 = 1.3169578969248166;
  const Case cases[] = {
      {{0, 0}, {0, 0}, 0, "zero is copied"},
      {{1e-9, 1e-9}, {1e-9, 1e-9}, 0, "below t: the argument itself"},
      {{2e-8, 0}, {2e-8, 0}, 0, "below t"},
      {{3e-8, 0}, {3.0000000000000004e-08, 0}, 0, "just above t: the series"},
      {{0.1, 0}, {0.1001674211615598, 0}, 2, "|z| = 0.1 takes the series"},
      {{0.5, 0.5}, {0.4522784471511907, 0.53063753095251787}, 4, "logarithmic method"},
      {{0, 2}, {0, 1.4436354751788103}, 0, "i arsinh 2; the two products of G.re cancel exactly"},
      {{1, 0}, {kHalfPi, -0.0}, 0, "-Im(i L) with L = (0, 0)"},
      {{-1, 0}, {-kHalfPi, 0}, 0, "folded"},
      {{2, 0}, {kHalfPi, -acosh2}, 2, "cut x > 1: the limit from below"},
      {{2, -0.0}, {kHalfPi, -acosh2}, 2, "cut x > 1: the sign of zero is ignored"},
      {{-2, 0}, {-kHalfPi, acosh2}, 2, "cut x < -1: the limit from above"},
      {{-2, -0.0}, {-kHalfPi, acosh2}, 2, "cut x < -1: the sign of zero is ignored"},
      {{2, 1e-20}, {kHalfPi, 1.3169578969248168}, 2, "just above the cut: its own side"},
      {{-2, -1e-300}, {-kHalfPi, -1.3169578969248168}, 2, "just below the cut: its own side"},
      {{1e10, 5e-324}, {kHalfPi, 23.718998110500401}, 2, "the angle of G underflows to 0"},
      {{1e8, 1e8}, {kPi / 4, 19.460401514792284}, 2, "same-sign parts at any size"},
      {{-30, -40}, {-0.6434051168594801, -4.6051981986335839}, 4, "third quadrant"},
      {{0, 50}, {0, 4.6052701709914237}, 4, "upper imaginary axis"},
      {{30, -40}, {0.6434051168594801, -4.6051981986335839}, 4, "fourth quadrant, mirrored"},
      {{0, -50}, {0, -4.6052701709914237}, 4, "lower imaginary axis, mirrored"},
      {{-0.0, -50}, {0, -4.6052701709914237}, 4, "x = -0 gives +0 here as in (-0, 50)"},
      {{1e4, -1e4}, {0.78539816214744829, -10.250061142816101}, 4, "fourth quadrant, mirrored"},
      {{1e8, -1e8}, {kPi / 4, -19.460401514792284}, 4, "G would cancel to 0 unmirrored"},
      {{0, -1e8}, {0, -19.113827924512311}, 4, "G would cancel to 0 unmirrored"},
      {{-1e8, 1e8}, {-kPi / 4, 19.460401514792284}, 4, "second quadrant, folded and mirrored"},
      {{1e308, 0}, {kHalfPi, -709.88935582272597}, 2, "G overflows: taken from z / 4"},
      {{1.2e308, 1e307}, {1.4876550949064553, 710.0751376009423}, 2, "G overflows"},
      {{-1.7e308, -1e300}, {-1.5707963209125437, -710.41998407378821}, 2, "G overflows"},
  };
  check_table(ZASIN, "ZASIN", cases);
}

// On [-1, 1] there is no special case: |G| is 1 only up to rounding.
TEST(ArcsineTest, RealSegmentHasRoundingSizeImaginaryPart) {
  Complex w;
  ZASIN(w, Complex{0.5, 0});
  EXPECT_TRUE(matches({w.re, 0}, {0.52359877559829893, 0}, 4)) << show(w);
  EXPECT_NE(w.im, 0.0);
  EXPECT_LE(std::fabs(w.im), 0x1p-52);
}

TEST(ArccosineTest, Table) {
  const double acosh2 = 1.3169578969248166;
  const Case cases[] = {
      {{0, 0}, {kHalfPi, -0.0}, 0, "pi/2 - asin(0, 0)"},
      {{0.5, 0.5}, {1.1185178796437059, -0.53063753095251787}, 4, "logarithmic method"},
      {{0, 2}, {kHalfPi, -1.4436354751788103}, 0, "upper imaginary axis"},
      {{1, 0}, {0, 0}, 0, "one"},
      {{-1, 0}, {kPi, -0.0}, 0, "minus one"},
      {{2, 0}, {0, acosh2}, 2, "cut x > 1"},
      {{2, -0.0}, {0, acosh2}, 2, "cut x > 1, sign of zero ignored"},
      {{-2, 0}, {kPi, -acosh2}, 2, "cut x < -1"},
      {{-2, -0.0}, {kPi, -acosh2}, 2, "cut x < -1, sign of zero ignored"},
  };
  check_table(ZACOS, "ZACOS", cases);
}

TEST(ArctangentTest, Table) {
  const double atanh_half = 0.5493061443340549;
  const Case cases[] = {
      {{0, 0}, {0, 0}, 0, "the argument itself"},
      {{-0.0, 0}, {-0.0, 0}, 0, "the argument itself, sign kept"},
      {{1e-8, 0}, {1e-8, 0}, 0, "below s"},
      {{1.8e-8, 0}, {1.8e-8, 0}, 0, "below s"},
      {{1.9e-8, 0}, {1.8999999999999998e-08, 0}, 0, "above s: the series"},
      {{0.1, 0}, {0.09966865249116202, 0}, 2, "|z| = 0.1 takes the series"},
      {{0, 0.1}, {0, 0.10033534773107558}, 2, "the series on the imaginary axis"},
      {{1, 0}, {kPi / 4, 0}, 2, "in the band, far from +-i"},
      {{2, 0}, {1.1071487177940904, 0}, 2, "closed formula"},
      {{-2, 0}, {-1.1071487177940904, 0}, 2, "closed formula"},
      {{0.3, 0.4}, {0.3373704711117763, 0.3790868723420221}, 2, "closed formula"},
      {{3, -4}, {1.4483069952314644, -0.15899719167999918}, 2, "closed formula"},
      {{0, 2}, {kHalfPi, atanh_half}, 2, "beyond +i, x = +0"},
      {{-0.0, 2}, {-kHalfPi, atanh_half}, 2, "beyond +i, x = -0"},
      {{0, -2}, {kHalfPi, -atanh_half}, 2, "beyond -i"},
      {{1e16, 1}, {kHalfPi, 0}, 0, "huge"},
      {{-1e16, 5}, {-kHalfPi, 0}, 0, "huge, negative x"},
      {{-0.0, 1e17}, {kHalfPi, 0}, 0, "huge: x = -0 counts as x >= 0"},
      {{0x1p53, 0}, {kHalfPi, 0}, 2, "2^53 still takes the formula"},
      {{0, 1.00000003}, {kHalfPi, 9.0076078247600933}, 4, "near +i outside the band"},
      {{0, 1.00000001}, {kHalfPi, 9.5569139677948911}, 4, "near +i: no infinite part"},
      {{1.8270519279087334e-11, -1.0000000081727218},
       {1.5696785542130096, -9.6578042598609386},
       4,
       "near -i: |z + i|^2 does not cancel to 0"},
      {{1e-5, 1}, {0.7854006633974483, 6.1030363227713371}, 4, "in the band, no message"},
  };
  check_table(ZATAN, "ZATAN", cases);
}

TEST(InverseSineHyperbolicTest, Table) {
  const double asinh3 = 1.762747174039086;
  const Case cases[] = {
      {{0.3, 0.4}, {0.31896243330481838, 0.3903162045220237}, 4, "series region of ZASIN"},
      {{2, 1}, {1.5285709194809982, 0.42707858639247614}, 4, "mirrored inside ZASIN"},
      {{0, 0}, {-0.0, -0.0}, 0, "signs of zero from the products with i"},
      {{-0.0, 0}, {0, -0.0}, 0, "signs of zero from the products with i"},
      {{0.5, 0}, {0.48121182505960347, -0.0}, 2, "real axis"},
      {{3, 0}, {1.8184464592320668, -0.0}, 2, "real axis"},
      {{0, 3}, {asinh3, kHalfPi}, 2, "imaginary axis beyond +i"},
      {{0, -3}, {-asinh3, -kHalfPi}, 2, "imaginary axis beyond -i"},
      {{0, 1}, {0, kHalfPi}, 0, "+i"},
      {{-50, 0}, {-4.6052701709914237, -0.0}, 4, "real axis, negative"},
      {{1e4, 1e4}, {10.250061142816101, 0.78539816214744829}, 4, "first quadrant"},
      {{-1e8, 0}, {-19.113827924512311, -0.0}, 4, "large negative real"},
      {{1e8, 1e8}, {19.460401514792284, kPi / 4}, 4, "large first quadrant"},
  };
  check_table(ZASINH, "ZASINH", cases);
}

TEST(InverseCosineHyperbolicTest, Table) {
  const double acosh3 = 1.762747174039086;
  const Case cases[] = {
      {{0.3, 0.4}, {0.40511233717803086, 1.2901667645030908}, 4, "upper half plane: i acos z"},
      {{0.3, -0.4}, {0.40511233717803091, -1.2901667645030908}, 4, "lower half plane: -i acos z"},
      {{3, 0}, {acosh3, 0}, 2, "real x > 1: the real inverse cosh"},
      {{3, -0.0}, {acosh3, 0}, 2, "real x > 1, sign of zero ignored"},
      {{-3, 0}, {acosh3, kPi}, 2, "real x < -1: i acos x"},
      {{1, 0}, {0, 0}, 0, "one"},
      {{0, 0}, {0, kHalfPi}, 0, "zero"},
      {{2, 1}, {1.4693517443681852, 0.50735630321714453}, 4, "first quadrant"},
      {{1e8, -1e8}, {19.460401514792284, -kPi / 4}, 4, "large fourth quadrant"},
  };
  check_table(ZACOSH, "ZACOSH", cases);
}

TEST(InverseTangentHyperbolicTest, Table) {
  const double atanh_half = 0.5493061443340549;
  const Case cases[] = {
      {{0.3, 0.4}, {0.26149213879567196, 0.4088225229163511}, 2, "closed formula"},
      {{0.5, 0}, {atanh_half, -0.0}, 2, "real axis"},
      {{0, 0}, {-0.0, -0.0}, 0, "signs of zero from the products with i"},
      {{2, 0}, {atanh_half, -kHalfPi}, 2, "real x > 1"},
      {{3, 0}, {0.34657359027997264, -kHalfPi}, 2, "real x > 1"},
      {{-3, 0}, {-0.34657359027997264, kHalfPi}, 2, "real x < -1"},
      {{0, -3}, {-0.0, -1.2490457723982544}, 2, "imaginary axis"},
      {{0.99999, 0}, {6.1030338227611125, -0.0}, 4, "near 1: |t - i|^2 without cancellation"},
  };
  check_table(ZATANH, "ZATANH", cases);
}

}  // namespace
}  // namespace cxfun
