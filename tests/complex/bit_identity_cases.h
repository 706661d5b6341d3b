// The arguments of the bit-identity table: fixed-seed points of every region
// of the plane and the special arguments that pick out the paths, thresholds,
// cuts and special values of each export. The generator writes the table of
// results from them; the test reads the arguments back from the table.
#ifndef CXFUN_TESTS_COMPLEX_BIT_IDENTITY_CASES_H
#define CXFUN_TESTS_COMPLEX_BIT_IDENTITY_CASES_H

#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <vector>

#include "cxfun.h"
#include "samples.h"

namespace cxfun::bit_identity {

enum class Shape { kComplex, kComplexBase, kRealPair };

struct Export {
  const char* name;
  Shape shape;
  void (*complex)(const double*, const double*, double*, double*);  // kComplex, kRealPair
  void (*base)(const double*, const double*, const double*, double*, double*);
  bool inverse;  // one of the six inverse functions
};

inline constexpr Export kExports[] = {
    {"asin", Shape::kComplex, cxfun_asin, nullptr, true},
    {"acos", Shape::kComplex, cxfun_acos, nullptr, true},
    {"atan", Shape::kComplex, cxfun_atan, nullptr, true},
    {"asinh", Shape::kComplex, cxfun_asinh, nullptr, true},
    {"acosh", Shape::kComplex, cxfun_acosh, nullptr, true},
    {"atanh", Shape::kComplex, cxfun_atanh, nullptr, true},
    {"sqrt", Shape::kComplex, cxfun_sqrt, nullptr, false},
    {"ln", Shape::kComplex, cxfun_ln, nullptr, false},
    {"log", Shape::kComplexBase, nullptr, cxfun_log, false},
    {"cdlog", Shape::kRealPair, cxfun_cdlog, nullptr, false},
};

// One call: inputs a, b (and the base of cxfun_log), results re, im.
struct Call {
  double a;
  double b;
  double base;
  double re;
  double im;
};

inline void evaluate(const Export& e, Call& c) {
  if (e.shape == Shape::kComplexBase) {
    e.base(&c.a, &c.b, &c.base, &c.re, &c.im);
  } else {
    e.complex(&c.a, &c.b, &c.re, &c.im);
  }
}

constexpr int kPerRegion = 32;
constexpr std::uint64_t kSeed = 1707;

// The inputs of one export. None of them ends the process or prints.
inline std::vector<Call> arguments(const Export& e) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  std::vector<Call> calls;
  auto add = [&](double a, double b, double base = 10.0) { calls.push_back({a, b, base, 0, 0}); };

  if (e.shape == Shape::kRealPair) {
    for (sampling::Region r : sampling::kRegions) {
      const std::vector<double> x = sampling::region_reals(r, kPerRegion, kSeed);
      const std::vector<double> b = sampling::bases(kPerRegion, kSeed);
      for (int i = 0; i < kPerRegion; ++i) add(x[i], b[i]);
    }
    const double special[][2] = {{8, 2},     {-8, 2},   {-1, 2.718281828459045},
                                 {0, 2},     {-0.0, 2}, {inf, 2},
                                 {2, 1},     {5, 0},    {5, -3},
                                 {1e-310, 3}, {nan, 2}, {3, -inf}};
    for (const auto& s : special) add(s[0], s[1]);
    return calls;
  }

  for (sampling::Region r : sampling::kRegions) {
    for (const Complex& z : sampling::region_sample(r, kPerRegion, kSeed)) add(z.re, z.im);
  }
  // Points of every export's paths and thresholds, both signs of zero.
  const double common[][2] = {
      {0, 0},        {-0.0, 0},       {0, -0.0},     {-0.0, -0.0},   {1e-9, 1e-9},
      {2e-8, 0},     {3e-8, 0},       {1.8e-8, 0},   {1.9e-8, 0},    {0.1, 0},
      {0, 0.1},      {0.1, 1e-17},    {1, 0},        {-1, 0},        {2, 0},
      {-2, 0},       {2, -0.0},       {-2, -0.0},    {0, 2},         {0, -2},
      {-0.0, 2},     {0.5, 0},        {0.5, 0.5},    {0.3, 0.4},     {0.3, -0.4},
      {3, -4},       {-3, 4},         {30, -40},     {0, -50},       {1e4, -1e4},
      {1e8, 1e8},    {-1e8, 1e8},     {1e16, 1},     {-1e16, 5},     {-0.0, 1e17},
      {0x1p53, 0},   {1e300, 1e300},  {-1e300, 1e299}, {1e-320, 1e-320}, {1e-200, -1e-200},
      {0, 1 + 3e-8}, {1e-5, 1},       {3, 0},        {-3, 0},        {0, 3},
      {0, -3},       {2, 1},          {0.5, 0},      {1.0000001, 0}, {0.9999999, 0},
  };
  for (const auto& s : common) {
    // The inverse hyperbolic tangent of +-1 is the arctangent at +-i, a
    // terminal error.
    if (std::strcmp(e.name, "atanh") == 0 && std::fabs(s[0]) == 1 && s[1] == 0) continue;
    add(s[0], s[1]);
  }
  if (e.inverse) return calls;
  // The direct functions take every argument: infinities, NaN, extremes.
  const double direct[][2] = {
      {inf, 0},   {-inf, 0},   {0, inf},     {1, -inf},       {nan, 1},
      {1, nan},   {nan, nan},  {-4, 0},      {-4, -0.0},      {4, 0},
      {5e307, 1.75e308},       {1.5e308, 1.5e308},           {-1.7e308, 1.7e308},
      {4.9e-324, 4.9e-324},    {-1e-310, 2e-310},            {1e-310, -1e300},
  };
  for (const auto& s : direct) add(s[0], s[1]);
  if (e.shape == Shape::kComplexBase) {
    const double based[][3] = {{1000, 0, 10}, {8, 0, 2}, {2, 0, 1},   {-8, 0, 2},
                               {1, 1, 0.5},   {3, 4, inf}, {3, 4, 1e-300}, {-2, -3, 7}};
    for (const auto& s : based) add(s[0], s[1], s[2]);
  }
  return calls;
}

}  // namespace cxfun::bit_identity

#endif
