// Fixed-seed samples of complex arguments, shared by the accuracy tool, the
// benchmarks and the accuracy test, so that all of them look at the same
// points.
//
// The generator is splitmix64: a few integer operations, the same sequence on
// every platform and standard library, unlike the engines and distributions
// of <random>, whose output the standard does not fix.
#ifndef CXFUN_TOOLS_ACCURACY_SAMPLES_H
#define CXFUN_TOOLS_ACCURACY_SAMPLES_H

#include <cmath>
#include <cstdint>
#include <vector>

#include "machine/complex_value.h"

namespace cxfun::sampling {

inline constexpr double kPi = 3.141592653589793;

class Sampler {
 public:
  explicit Sampler(std::uint64_t seed) : state_(seed) {}
  std::uint64_t next() {
    std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  // Uniform in [0, 1), 53 random bits.
  double uniform() { return static_cast<double>(next() >> 11) * 0x1p-53; }
  double sign() { return (next() >> 63) != 0 ? -1.0 : 1.0; }
  // 10^u with u uniform in [lo_exp10, hi_exp10).
  double log_uniform(double lo_exp10, double hi_exp10) {
    return std::pow(10.0, lo_exp10 + (hi_exp10 - lo_exp10) * uniform());
  }
  // A point of modulus r at a uniform angle in [-pi, pi): all four quadrants.
  Complex on_circle(double r) {
    const double t = kPi * (2.0 * uniform() - 1.0);
    return {r * std::cos(t), r * std::sin(t)};
  }

 private:
  std::uint64_t state_;
};

// The regions in which the library changes method or accuracy. The moduli
// are log-uniform within each, the angles uniform.
enum class Region {
  kSeries,  // modulus 1e-4 to 0.1: the power series of asin and atan
  kMiddle,  // modulus 0.1 to 100: the closed formulas
  kLarge,   // modulus 1e3 to 1e300
  kNearUnits,  // within 1e-7 to 1e-1 of +1, -1, +i or -i
};

inline constexpr Region kRegions[] = {Region::kSeries, Region::kMiddle, Region::kLarge,
                                      Region::kNearUnits};

inline const char* region_name(Region r) {
  switch (r) {
    case Region::kSeries:
      return "series";
    case Region::kMiddle:
      return "0.1-100";
    case Region::kLarge:
      return "large";
    case Region::kNearUnits:
      return "near+-1,+-i";
  }
  return "?";
}

// `count` points of the region, the same for a given seed and region.
inline std::vector<Complex> region_sample(Region region, int count, std::uint64_t seed) {
  Sampler s(seed * 16 + static_cast<std::uint64_t>(region));
  std::vector<Complex> points;
  points.reserve(static_cast<std::size_t>(count));
  const Complex centres[4] = {{1, 0}, {-1, 0}, {0, 1}, {0, -1}};
  for (int i = 0; i < count; ++i) {
    switch (region) {
      case Region::kSeries:
        points.push_back(s.on_circle(s.log_uniform(-4, -1)));
        break;
      case Region::kMiddle:
        points.push_back(s.on_circle(s.log_uniform(-1, 2)));
        break;
      case Region::kLarge:
        points.push_back(s.on_circle(s.log_uniform(3, 300)));
        break;
      case Region::kNearUnits: {
        const Complex c = centres[i % 4];
        const Complex d = s.on_circle(s.log_uniform(-7, -1));
        points.push_back({c.re + d.re, c.im + d.im});
        break;
      }
    }
  }
  return points;
}

// Real numbers for the two-real logarithm: |x| log-uniform over the region's
// moduli, either sign.
inline std::vector<double> region_reals(Region region, int count, std::uint64_t seed) {
  Sampler s(seed * 16 + 4 + static_cast<std::uint64_t>(region));
  std::vector<double> reals;
  reals.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    double magnitude = 0;
    switch (region) {
      case Region::kSeries:
        magnitude = s.log_uniform(-4, -1);
        break;
      case Region::kMiddle:
        magnitude = s.log_uniform(-1, 2);
        break;
      case Region::kLarge:
        magnitude = s.log_uniform(3, 300);
        break;
      case Region::kNearUnits:
        magnitude = 1.0 + s.sign() * s.log_uniform(-7, -1);
        break;
    }
    reals.push_back(s.sign() * magnitude);
  }
  return reals;
}

// Bases for the logarithms to a real base: positive and away from 1, where
// the logarithm of the base is not small: 10^u, u uniform in [-2, -0.3) or
// [0.3, 2).
inline std::vector<double> bases(int count, std::uint64_t seed) {
  Sampler s(seed * 16 + 8);
  std::vector<double> b;
  b.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    b.push_back(std::pow(10.0, s.sign() * (0.3 + 1.7 * s.uniform())));
  }
  return b;
}

}  // namespace cxfun::sampling

#endif
