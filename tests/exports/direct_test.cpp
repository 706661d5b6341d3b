// The four direct entry points: composition of z, special values and signs
// of zero bit for bit, the rounding of cxfun_log's quotients, the order of
// memory accesses, and results whose modulus leaves the double range.
#include <gtest/gtest.h>
#include <mpfr.h>

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

#include "cxfun.h"

namespace {

constexpr double kInf = std::numeric_limits<double>::infinity();
constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kDenormMin = std::numeric_limits<double>::denorm_min();
constexpr double kPi = 3.141592653589793;
constexpr double kHalfPi = 1.5707963267948966;

std::string show(double v) {
  char text[64];
  std::snprintf(text, sizeof text, "%.17g (%a)", v, v);
  return text;
}

// Same value bit for bit (so +0 and -0 differ); any NaN matches any NaN.
::testing::AssertionResult Same(double got, double want) {
  if (std::isnan(want) ? std::isnan(got)
                       : std::bit_cast<std::uint64_t>(got) == std::bit_cast<std::uint64_t>(want)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "got " << show(got) << ", want " << show(want);
}

// Distance in units in the last place between two finite doubles of one sign.
std::int64_t ulps(double a, double b) {
  const auto x = static_cast<std::int64_t>(std::bit_cast<std::uint64_t>(std::fabs(a)));
  const auto y = static_cast<std::int64_t>(std::bit_cast<std::uint64_t>(std::fabs(b)));
  return std::signbit(a) == std::signbit(b) ? std::llabs(x - y) : INT64_MAX;
}

struct Row {
  double a, b;
  double re, im;
  const char* why;
};

using Entry = void (*)(const double*, const double*, double*, double*);

void check_table(Entry f, const char* name, const Row* rows, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    const Row& r = rows[i];
    double re = 12345.0, im = 12345.0;
    f(&r.a, &r.b, &re, &im);
    EXPECT_TRUE(Same(re, r.re)) << name << "(" << r.a << ", " << r.b << ") real: " << r.why;
    EXPECT_TRUE(Same(im, r.im)) << name << "(" << r.a << ", " << r.b << ") imag: " << r.why;
  }
}

// The composed argument shows in ln's imaginary part (atan2 sees the signs of
// zero) and in its real part (a NaN part is skipped in the modulus).
TEST(DirectTest, LnAndComposition) {
  const Row rows[] = {
      {3, 4, 1.6094379124341003, 0.9272952180016122, "finite parts pass unchanged"},
      {-3, -4, 1.6094379124341003, -2.214297435588181, "third quadrant keeps its signs"},
      {-1, 0, 0, kPi, "negative real axis"},
      {-1, -0.0, 0, kPi, "b = -0 becomes +0: upper side of the cut"},
      {-0.0, -0.0, -kInf, kPi, "a = -0 and b = -0: real part stays -0"},
      {-0.0, 0, -kInf, 0, "a = -0 and b = +0: real part becomes +0"},
      {0, 0, -kInf, 0, "ln 0"},
      {0, 1, 0, kHalfPi, "positive imaginary axis"},
      {1, kInf, kInf, kNaN, "b infinite makes the real part NaN"},
      {-kInf, -kInf, kInf, kNaN, "b infinite: NaN real part whatever a is"},
      {1, kNaN, kNaN, kNaN, "b NaN makes both parts NaN"},
      {kNaN, 1, 0, kNaN, "a NaN: skipped in the modulus, silently"},
      {-kInf, 0, kInf, kPi, "a = -inf stays"},
      {-kInf, -0.0, kInf, kPi, "a = -inf, b = -0 becomes +0"},
      {kInf, 0, kInf, 0, "a = +inf stays"},
      {kInf, 2, kInf, 0, "infinite real part, finite imaginary part"},
  };
  check_table(cxfun_ln, "ln", rows, std::size(rows));
}

TEST(DirectTest, Sqrt) {
  const Row rows[] = {
      {-4, 0, 0, 2, "negative real axis: +i sqrt|x|"},
      {-4, -0.0, 0, 2, "b = -0 arrives as +0"},
      {4, 0, 2, 0, "positive real axis"},
      {0, 0, 0, 0, "zero"},
      {-0.0, -0.0, 0, 0, "a = -0 counts as x >= 0"},
      {3, 4, 2, 1, "exact root"},
      {-3, 4, 1, 2, "left half-plane, upper side"},
      {-3, -4, 1, -2, "left half-plane, lower side"},
      {0, 2, 1.0000000000000002, 0.9999999999999998, "w is scaled by the double sqrt(1/2)"},
      {-4, -1e-300, 2.5e-301, -2, "just below the cut"},
      {-4, -kDenormMin, 0, -2, "y/(2w) underflows to -0 and still counts as negative"},
      {kInf, 0, kInf, 0, "+inf"},
      {-kInf, 0, 0, kInf, "-inf"},
      {1, kInf, kNaN, kNaN, "infinite imaginary part"},
      {1, -kInf, kNaN, kNaN, "negative infinite imaginary part"},
      {1, kNaN, kNaN, kNaN, "NaN imaginary part"},
      {kNaN, 1, kNaN, kNaN, "NaN real part"},
  };
  check_table(cxfun_sqrt, "sqrt", rows, std::size(rows));
}

TEST(DirectTest, Cdlog) {
  const Row rows[] = {
      {8, 2, 2.9999999999999996, 0, "the quotient multiplies by the reciprocal of ln 2"},
      {-8, 2, 2.9999999999999996, 4.532360141827193, "ln of a negative real has +pi"},
      {-1, 2.718281828459045, 0, kPi, "base e"},
      {7, -1, 0, -0.61940243806968, "divisor (0, pi): -ln 7 times 1/pi, not -ln 7 / pi"},
      {kInf, 2, kInf, kNaN, "an infinite input stays; inf * 0 gives the NaN"},
      {5, 1, kNaN, kNaN, "base 1: ln 1 = 0, 0/0"},
      {0, 2, -kInf, kNaN, "ln 0 = -inf"},
  };
  check_table(cxfun_cdlog, "cdlog", rows, std::size(rows));
}

TEST(DirectTest, LogToRealBase) {
  struct LogRow {
    double a, b, base;
    double re, im;
    const char* why;
  } const rows[] = {
      {1000, 0, 10, 3, 0, "ln 10 with 64 bits; a double divisor would give 2.9999999999999996"},
      {8, 0, 2, 2.9999999999999996, 0, "ln 2 with 64 bits; a double divisor would give 3"},
      {2, 0, 1, kInf, kNaN, "base 1: division by zero, silently"},
      {8, 0, kInf, 0, 0, "base +inf: ln inf = inf"},
      {0, 0, 2, -kInf, 0, "ln 0"},
      {kNaN, 1, 2, 0, kNaN, "a NaN part passes silently"},
  };
  for (const LogRow& r : rows) {
    double re = 12345.0, im = 12345.0;
    cxfun_log(&r.a, &r.b, &r.base, &re, &im);
    EXPECT_TRUE(Same(re, r.re)) << "log(" << r.a << ", " << r.b << ", " << r.base << "): " << r.why;
    EXPECT_TRUE(Same(im, r.im)) << "log(" << r.a << ", " << r.b << ", " << r.base << "): " << r.why;
  }
}

// The base's logarithm is kept from one call to the next: bases one bit
// apart, taken in turn, must each give their own quotient every time.
TEST(DirectTest, LogKeepsEachBaseApart) {
  const double a = 1e300, b = 0;
  const double bases[] = {2.0, std::nextafter(2.0, 3.0)};
  double first[2][2];
  for (int round = 0; round < 3; ++round) {
    for (int k = 0; k < 2; ++k) {
      double re = 0, im = 0;
      cxfun_log(&a, &b, &bases[k], &re, &im);
      if (round == 0) {
        first[k][0] = re;
        first[k][1] = im;
      }
      EXPECT_TRUE(Same(re, first[k][0]) && Same(im, first[k][1])) << "base " << k << ", round " << round;
    }
  }
  EXPECT_NE(first[0][0], first[1][0]) << "the two bases' quotients differ in the last bit";
  EXPECT_TRUE(Same(first[0][0], 996.5784284662087)) << first[0][0];
}

#if defined(__x86_64__) || defined(__i386__)
// The kept logarithm of a base belongs to the x87 control word it was taken
// under (the extended logarithm's last bits follow the x87 rounding): after
// a base is taken under rounding toward zero, the same base under rounding
// to nearest gives the quotients it gives when taken fresh there.
TEST(DirectTest, LogKeepsTheBaseApartPerControlWord) {
  std::uint16_t saved;
  asm volatile("fnstcw %0" : "=m"(saved));
  const std::uint16_t toward_zero = static_cast<std::uint16_t>(saved | 0xC00);
  const double b = 0, flush = 0.5;
  double re = 0, im = 0;
  int compared = 0;
  for (int k = 2; k < 100; ++k) {
    const double base = k;
    double nearest[64];
    cxfun_log(&flush, &b, &flush, &re, &im);  // another base: nothing kept serves
    for (int j = 0; j < 64; ++j) {
      const double a = 2 + j;
      cxfun_log(&a, &b, &base, &nearest[j], &im);
    }
    asm volatile("fldcw %0" : : "m"(toward_zero));
    cxfun_log(&flush, &b, &flush, &re, &im);
    cxfun_log(&flush, &b, &base, &re, &im);  // the base under rounding toward zero
    asm volatile("fldcw %0" : : "m"(saved));
    for (int j = 0; j < 64; ++j) {
      const double a = 2 + j;
      cxfun_log(&a, &b, &base, &re, &im);
      EXPECT_TRUE(Same(re, nearest[j])) << "log of " << a << " to base " << k;
      ++compared;
    }
  }
  EXPECT_EQ(compared, 98 * 64);
}
#endif

// Each quotient ln z / ln base is rounded once to double. For these inputs the
// extended quotient lies exactly halfway between two doubles, so rounding it
// to long double and then to double lands on the wrong neighbour (one case
// each way). The expected value is the exact quotient rounded by MPFR.
TEST(DirectTest, LogQuotientIsRoundedOnce) {
  const double cases[][2] = {{1986, 2}, {3847, 2}};
  mpfr_t n, d, q;
  mpfr_inits2(64, n, d, static_cast<mpfr_ptr>(nullptr));
  mpfr_init2(q, 53);
  for (const auto& c : cases) {
    const double zero = 0;
    double l = 0, l_im = 0;
    cxfun_ln(&c[0], &zero, &l, &l_im);  // the numerator cxfun_log divides
    const long double divisor = std::log(static_cast<long double>(c[1]));
    mpfr_set_d(n, l, MPFR_RNDN);
    mpfr_set_ld(d, divisor, MPFR_RNDN);
    mpfr_div(q, n, d, MPFR_RNDN);
    const double once = mpfr_get_d(q, MPFR_RNDN);
    const double twice = static_cast<double>(l / divisor);
    ASSERT_NE(once, twice) << c[0] << ": this row no longer tells the roundings apart";

    double re = 0, im = 12345.0;
    cxfun_log(&c[0], &zero, &c[1], &re, &im);
    EXPECT_TRUE(Same(re, once)) << "log of " << c[0] << " to base " << c[1];
    EXPECT_TRUE(Same(im, 0.0));
  }
  mpfr_clears(n, d, q, static_cast<mpfr_ptr>(nullptr));
}

// A quotient below the normal double range is rounded once to the coarser
// spacing of subnormal numbers. The expected value is the exact quotient of
// ln z's imaginary part (atan2(y, 1) = y here) by the extended divisor,
// rounded to double by MPFR. The first two rows round the other way when the
// extended quotient is converted directly (one each way).
TEST(DirectTest, SubnormalLogQuotientIsRoundedOnce) {
  const double ys[] = {0x0.94ecdafeb9fe5p-1022, 0x0.c59c0809c94e8p-1022, 1e-310, 2.5e-320,
                       4.9406564584124654e-324};
  const double one = 1;
  const double base = 10;
  const long double divisor = std::log(static_cast<long double>(base));
  mpfr_t n, d, q;
  mpfr_inits2(256, n, d, q, static_cast<mpfr_ptr>(nullptr));
  for (const double y : ys) {
    double re = 0, im = 0;
    cxfun_log(&one, &y, &base, &re, &im);
    mpfr_set_d(n, y, MPFR_RNDN);
    mpfr_set_ld(d, divisor, MPFR_RNDN);
    mpfr_div(q, n, d, MPFR_RNDN);
    EXPECT_TRUE(Same(im, mpfr_get_d(q, MPFR_RNDN))) << "log of (1, " << y << ") to base 10";
  }
  mpfr_clears(n, d, q, static_cast<mpfr_ptr>(nullptr));
}

// Inputs are read before anything is written, and the real part is written
// before the imaginary part.
TEST(DirectTest, OutputsMayShareInputAddresses) {
  double v[2] = {-4, 0};
  cxfun_sqrt(&v[0], &v[1], &v[0], &v[1]);
  EXPECT_TRUE(Same(v[0], 0)) << "sqrt in place";
  EXPECT_TRUE(Same(v[1], 2)) << "sqrt in place";

  double a = 3, b = 4, out = 0;
  cxfun_ln(&a, &b, &out, &out);
  EXPECT_TRUE(Same(out, 0.9272952180016122)) << "one output for both parts keeps the imaginary";

  double x = 8, y = 0, base = 2, im = 0;
  cxfun_log(&x, &y, &base, &base, &im);  // the base is read before the real part lands on it
  EXPECT_TRUE(Same(base, 2.9999999999999996));
  EXPECT_TRUE(Same(im, 0));

  double number = 8, base2 = 2;
  cxfun_cdlog(&number, &base2, &base2, &number);
  EXPECT_TRUE(Same(base2, 2.9999999999999996)) << "cdlog in place";
  EXPECT_TRUE(Same(number, 0)) << "cdlog in place";
}

// Reference principal ln and sqrt of (x, y), rounded to double from 256 bits.
struct Reference {
  double ln_re;
  double sqrt_re, sqrt_im;
};

Reference reference(double x, double y) {
  mpfr_t m, w, v, t;
  mpfr_inits2(256, m, w, v, t, static_cast<mpfr_ptr>(nullptr));
  mpfr_set_d(w, x, MPFR_RNDN);
  mpfr_set_d(v, y, MPFR_RNDN);
  mpfr_hypot(m, w, v, MPFR_RNDN);
  mpfr_log(t, m, MPFR_RNDN);
  Reference r{};
  r.ln_re = mpfr_get_d(t, MPFR_RNDN);
  // w = sqrt((m + |x|) / 2), v = y / (2w); swapped on the left half-plane.
  mpfr_set_d(t, std::fabs(x), MPFR_RNDN);
  mpfr_add(t, m, t, MPFR_RNDN);
  mpfr_div_ui(t, t, 2, MPFR_RNDN);
  mpfr_sqrt(w, t, MPFR_RNDN);
  mpfr_set_d(t, y, MPFR_RNDN);
  mpfr_div(v, t, w, MPFR_RNDN);
  mpfr_div_ui(v, v, 2, MPFR_RNDN);
  const double wd = mpfr_get_d(w, MPFR_RNDN);
  const double vd = mpfr_get_d(v, MPFR_RNDN);
  r.sqrt_re = x >= 0 ? wd : std::fabs(vd);
  r.sqrt_im = x >= 0 ? vd : std::copysign(wd, y);
  mpfr_clears(m, w, v, t, static_cast<mpfr_ptr>(nullptr));
  return r;
}

// Where the modulus is above the largest double, or both parts are
// subnormal, ln and sqrt still give the accurate, finite result.
TEST(DirectTest, ModulusBeyondTheDoubleRange) {
  const struct {
    double x, y;
    const char* why;
  } rows[] = {
      {1.5e308, 1.5e308, "modulus above DBL_MAX"},
      {DBL_MAX, DBL_MAX, "largest parts"},
      {-1.7e308, 1e308, "left half-plane, modulus above DBL_MAX"},
      {1.7e308, -1.7e308, "sqrt's sum m + |x| overflows"},
      {kDenormMin, kDenormMin, "modulus rounded at subnormal spacing"},
      {-3 * kDenormMin, 7 * kDenormMin, "both parts subnormal, left half-plane"},
  };
  for (const auto& r : rows) {
    const Reference want = reference(r.x, r.y);
    double re = 0, im = 0;
    cxfun_ln(&r.x, &r.y, &re, &im);
    EXPECT_LE(ulps(re, want.ln_re), 1)
        << "ln " << r.why << ": " << show(re) << " vs " << show(want.ln_re);
    EXPECT_TRUE(Same(im, std::atan2(r.y, r.x))) << "ln " << r.why;
    cxfun_sqrt(&r.x, &r.y, &re, &im);
    EXPECT_LE(ulps(re, want.sqrt_re), 2)
        << "sqrt " << r.why << ": " << show(re) << " vs " << show(want.sqrt_re);
    EXPECT_LE(ulps(im, want.sqrt_im), 2)
        << "sqrt " << r.why << ": " << show(im) << " vs " << show(want.sqrt_im);
  }
}

}  // namespace
