// The frame of the six inverse-function exports: composition of z from the
// two inputs, outputs cleared before the inputs are read, and delivery of the
// routine's result. Results are compared bit for bit with the routine called
// on the composed argument.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <string>

#include "complex/complex_routines.h"
#include "cxfun.h"

namespace cxfun {
namespace {

using Export = void (*)(const double*, const double*, double*, double*);

struct Pair {
  const char* name;
  Export function;
  void (*routine)(Complex&, const Complex&);
};

const Pair kPairs[] = {{"asin", cxfun_asin, ZASIN},    {"acos", cxfun_acos, ZACOS},
                       {"atan", cxfun_atan, ZATAN},    {"asinh", cxfun_asinh, ZASINH},
                       {"acosh", cxfun_acosh, ZACOSH}, {"atanh", cxfun_atanh, ZATANH}};

std::uint64_t bits(double v) { return std::bit_cast<std::uint64_t>(v); }

std::string show(double a, double b) {
  char text[80];
  std::snprintf(text, sizeof text, "(%.17g, %.17g)", a, b);
  return text;
}

Complex through_export(const Pair& p, double a, double b) {
  double re = -1;
  double im = -1;
  p.function(&a, &b, &re, &im);
  return {re, im};
}

Complex through_routine(const Pair& p, const Complex& z) {
  Complex w;
  p.routine(w, z);
  return w;
}

::testing::AssertionResult same_bits(const Complex& got, const Complex& expected) {
  if (bits(got.re) == bits(expected.re) && bits(got.im) == bits(expected.im)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure()
         << "got " << show(got.re, got.im) << ", expected " << show(expected.re, expected.im);
}

// Each export delivers its routine's result for z = (a*1 + b*0, b*1 + 0*1).
TEST(InverseExportTest, DeliversTheRoutineResultForTheComposedArgument) {
  struct Input {
    double a, b;
    Complex z;
    const char* why;
  };
  const Input inputs[] = {
      {0.3, 0.4, {0.3, 0.4}, "ordinary argument"},
      {-2, 0, {-2, 0}, "real axis"},
      {-2, -0.0, {-2, 0}, "b = -0 becomes +0"},
      {3, -0.0, {3, 0}, "b = -0 becomes +0 on the cut x > 1"},
      {-0.0, 0, {0, 0}, "a = -0 with b = +0 becomes +0"},
      {-0.0, -0.0, {-0.0, 0}, "a = -0 with b = -0 stays -0"},
      {-0.5, 1e8, {-0.5, 1e8}, "large imaginary part"},
  };
  for (const Pair& p : kPairs) {
    for (const Input& in : inputs) {
      EXPECT_TRUE(same_bits(through_export(p, in.a, in.b), through_routine(p, in.z)))
          << "cxfun_" << p.name << show(in.a, in.b) << ": " << in.why;
    }
  }
}

// For a real input other than -0 the sign of a zero imaginary input makes no
// difference; with a real input of -0 it does.
TEST(InverseExportTest, SignOfZeroImaginaryInput) {
  const double reals[] = {-3, -0.5, 0, 0.5, 3};  // not +-1: atanh ends the process there
  for (const Pair& p : kPairs) {
    for (double a : reals) {
      EXPECT_TRUE(same_bits(through_export(p, a, -0.0), through_export(p, a, 0.0)))
          << "cxfun_" << p.name << "(" << a << ", -0)";
    }
  }
  const Complex plus = through_export(kPairs[2], -0.0, 0.0);
  const Complex minus = through_export(kPairs[2], -0.0, -0.0);
  EXPECT_TRUE(same_bits(plus, {0, 0})) << "cxfun_atan(-0, +0) sees +0";
  EXPECT_TRUE(same_bits(minus, {-0.0, 0})) << "cxfun_atan(-0, -0) sees -0";
}

// The outputs are cleared before the inputs are read: an input at the address
// of an output reads as +0.
TEST(InverseExportTest, InputAtAnOutputAddressReadsAsZero) {
  for (const Pair& p : kPairs) {
    double shared = 0.5;
    double b = 2;
    double im = -1;
    p.function(&shared, &b, &shared, &im);
    EXPECT_TRUE(same_bits({shared, im}, through_routine(p, {0, 2})))
        << "cxfun_" << p.name << " with re at the address of a";

    double a = 0.5;
    double shared_b = 2;
    double re = -1;
    p.function(&a, &shared_b, &re, &shared_b);
    EXPECT_TRUE(same_bits({re, shared_b}, through_routine(p, {0.5, 0})))
        << "cxfun_" << p.name << " with im at the address of b";
  }
  double shared = 0.5;
  const double zero = 0;
  double im = -1;
  cxfun_asin(&shared, &zero, &shared, &im);
  EXPECT_TRUE(same_bits({shared, im}, {0, 0})) << "asin of (0, 0) into the first input's place";
}

}  // namespace
}  // namespace cxfun
