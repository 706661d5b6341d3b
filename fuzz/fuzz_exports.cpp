// All ten exports with arbitrary bit patterns. For every input the harness
// works out, from the documented conditions alone, whether the call must
// return, stop with a terminal error, or end with a fatal math error, and in
// which routine; then it makes the call with the process ends trapped and
// compares. A returned result must be reproducible and, for the inverse
// functions, finite and inside the principal range; a stop must have printed
// the documented message with its traceback; a fatal math error must be the
// documented function and fault, with nothing printed and nothing written.
#include <cfloat>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "cxfun.h"
#include "harness.h"
#include "machine/complex_value.h"
#include "printed_message.h"

namespace cxfun::fuzz {
namespace {

constexpr double kHalfPi = 1.5707963267948966;
constexpr double kPi = 3.141592653589793;

using Inverse = void (*)(const double*, const double*, double*, double*);

enum class Routine { kAsin, kAcos, kAtan, kAsinh, kAcosh, kAtanh };

struct InverseExport {
  const char* name;
  Inverse function;
  Routine routine;
  std::vector<const char*> chain;  // the routines down to the one that calls ZA1S first
};

const InverseExport kInverse[] = {
    {"cxfun_asin", cxfun_asin, Routine::kAsin, {"ZASIN "}},
    {"cxfun_acos", cxfun_acos, Routine::kAcos, {"ZACOS ", "ZASIN "}},
    {"cxfun_atan", cxfun_atan, Routine::kAtan, {"ZATAN "}},
    {"cxfun_asinh", cxfun_asinh, Routine::kAsinh, {"ZASINH", "ZASIN "}},
    {"cxfun_acosh", cxfun_acosh, Routine::kAcosh, {"ZACOSH", "ZACOS ", "ZASIN "}},
    {"cxfun_atanh", cxfun_atanh, Routine::kAtanh, {"ZATANH", "ZATAN "}},
};

// What a call must do.
struct Expected {
  enum Kind { kReturn, kStop, kMathError } kind = kReturn;
  const char* function = nullptr;  // of the fatal math error
  bool domain = true;
  int code = 0;                   // of the terminal error
  std::vector<Level> stack;       // at the terminal error, bottom first
  std::string message;            // the terminal error's composed text
  std::string printed_on_return;  // a warning, or nothing
};

std::string bits(double v) {
  std::uint64_t u;
  std::memcpy(&u, &v, sizeof u);
  char text[64];
  std::snprintf(text, sizeof text, "%.17g[%016llx]", v, static_cast<unsigned long long>(u));
  return text;
}

// The argument the host's a and b compose to: (a*1 + b*0, b*1 + 0*1). The
// operands pass through volatile so the products are really formed.
Complex compose(double a, double b) {
  volatile double one = 1.0, zero = 0.0;
  return {(a * one) + (b * zero), (b * one) + (zero * one)};
}

Complex times_i(const Complex& u) {
  volatile double one = 1.0, zero = 0.0;
  return {u.re * zero - u.im * one, u.re * one + u.im * zero};
}

// The modulus routine's documented outcome: a NaN part or two infinite parts
// end the process in its square root; a modulus beyond the largest double
// is its terminal overflow; otherwise the modulus.
enum class ModulusEnd { kNone, kDomain, kOverflow };

double modulus(const Complex& z, ModulusEnd& end) {
  const double big = std::fmax(std::fabs(z.re), std::fabs(z.im));
  const double small = std::fmin(std::fabs(z.re), std::fabs(z.im));
  end = ModulusEnd::kNone;
  if (std::isnan(z.re) || std::isnan(z.im) || (std::isinf(z.re) && std::isinf(z.im))) {
    end = ModulusEnd::kDomain;
    return 0.0;
  }
  if (big > DBL_MAX / 1.415) {
    const double r = small / big;
    const double s = std::sqrt(1.0 + r * r);
    if (DBL_MAX / s < big) end = ModulusEnd::kOverflow;
    return s * big;
  }
  if (small <= 0x1p-26 * big) return big;
  const double q = small / big;
  return big * std::sqrt(1.0 + q * q);
}

std::vector<Level> stack_of(const std::vector<const char*>& routines, int type, int code) {
  std::vector<Level> stack = {{stored_name("USER"), 0, 0}};
  for (const char* r : routines) stack.push_back({stored_name(r), 0, 0});
  stack.back().type = type;
  stack.back().code = code;
  return stack;
}

const std::string kWarningTail =
    "\n ***          half precision because Z**2 is too close to a -1.0 .\n";

Expected expected_inverse(const InverseExport& e, double a, double b) {
  Expected x;
  const Complex z = compose(a, b);
  const bool hyperbolic_via_i = e.routine == Routine::kAsinh || e.routine == Routine::kAtanh;
  const Complex u = hyperbolic_via_i ? times_i(z) : z;

  ModulusEnd end;
  const double r = modulus(u, end);
  if (end == ModulusEnd::kDomain) {
    x.kind = Expected::kMathError;
    x.function = "sqrt";
    return x;
  }
  if (end == ModulusEnd::kOverflow) {
    std::vector<const char*> chain = e.chain;
    chain.push_back("ZA1S  ");
    x.kind = Expected::kStop;
    x.code = 4;
    x.stack = stack_of(chain, 5, 4);
    x.message = ".  The function overflows because Z = " + rendered(u.re, u.im) + " is too large.";
    return x;
  }
  if (e.routine != Routine::kAtan && e.routine != Routine::kAtanh) return x;

  // The arctangent's checks near +i and -i, with its comparisons as written.
  if (!(r > 0.1) || r > 0x1p53) return x;
  const double r2 = r * r;
  if (!(std::fabs(r2 - 1.0) <= 0x1p-26)) return x;
  ModulusEnd unused;
  const double q =
      modulus({u.re * u.re - u.im * u.im + 1.0, u.re * u.im + u.im * u.re + 0.0}, unused);
  const bool warning = !(q >= 0x1p-26);
  const double plus = (r2 + u.im * 2.0) + 1.0;
  const double minus = (r2 - u.im * 2.0) + 1.0;
  const double margin = 10.0 * 0x1p-52;
  if (!(plus >= margin) || !(minus >= margin)) {
    x.kind = Expected::kStop;
    x.code = 5;
    x.stack = stack_of(e.chain, 5, 5);
    x.message = ".  Z = " + rendered(u.re, u.im) +
                " is so close to +i or -i that all precision is lost because DATAN is nearly "
                "singular.";
    return x;
  }
  if (warning) {
    // Printed when the routine the export called returns.
    x.printed_on_return = std::string("\n *** WARNING  ERROR 2 from ") + e.chain[0];
    x.printed_on_return.erase(x.printed_on_return.find_last_not_of(' ') + 1);
    x.printed_on_return += ".  The result is accurate to less than one" + kWarningTail;
  }
  return x;
}

// The principal ranges: real part of asin and atan, imaginary part of asinh
// and atanh within [-pi/2, pi/2]; real part of acos within [0, pi]; real part
// of acosh not negative beyond the rounding-size value on the real segment.
bool in_principal_range(Routine routine, double re, double im) {
  switch (routine) {
    case Routine::kAsin:
    case Routine::kAtan:
      return std::fabs(re) <= kHalfPi;
    case Routine::kAsinh:
    case Routine::kAtanh:
      return std::fabs(im) <= kHalfPi;
    case Routine::kAcos:
      return re >= 0.0 && re <= kPi;
    case Routine::kAcosh:
      return re >= -1e-14 && std::fabs(im) <= kPi;
  }
  return false;
}

void check_end(const Outcome& outcome, const Expected& x, const std::string& printed,
               const std::string& what) {
  const char* kinds[] = {"return", "stop", "fatal math error"};
  const int got = !outcome.ended ? 0 : outcome.end.status == 0 ? 1 : 2;
  check(got == x.kind, "the call did not end as documented",
        what + ": expected " + kinds[x.kind] + ", got " + kinds[got] + "\n" + printed);
  if (x.kind == Expected::kMathError) {
    check(outcome.end.status == 3 && std::strcmp(outcome.end.function, x.function) == 0 &&
              outcome.end.domain == x.domain,
          "wrong fatal math error",
          what + ": got " + outcome.end.function + (outcome.end.domain ? " DOMAIN" : " SING"));
    check(printed.empty(), "a fatal math error prints nothing on standard output", what);
  } else if (x.kind == Expected::kStop) {
    check_printed_message(printed, 5, x.code, x.message, x.stack);
  } else {
    check(printed == x.printed_on_return, "printed on return", what + "\n" + printed);
  }
}

void run_inverse(const InverseExport& e, double a, double b) {
  const std::string what = std::string(e.name) + "(" + bits(a) + ", " + bits(b) + ")";
  const Expected x = expected_inverse(e, a, b);
  const double sentinel = -12345.0;
  double re = sentinel, im = sentinel;
  const Outcome outcome = run_trapped([&] { e.function(&a, &b, &re, &im); });
  const std::string printed = printed_bytes();
  check_end(outcome, x, printed, what);
  if (outcome.ended) {
    // The outputs were cleared before the inputs were read, and nothing more.
    check(re == 0.0 && !std::signbit(re) && im == 0.0 && !std::signbit(im),
          "an ended call leaves both outputs +0", what);
    return;
  }
  check(std::isfinite(re) && std::isfinite(im), "a finite argument gives a finite result",
        what + " = " + bits(re) + ", " + bits(im));
  check(in_principal_range(e.routine, re, im), "result outside the principal range",
        what + " = " + bits(re) + ", " + bits(im));

  // The same call again gives the same bits, and prints the same.
  double re2 = sentinel, im2 = sentinel;
  restore_fresh_state();
  const Outcome again = run_trapped([&] { e.function(&a, &b, &re2, &im2); });
  check(!again.ended && std::memcmp(&re, &re2, sizeof re) == 0 &&
            std::memcmp(&im, &im2, sizeof im) == 0 && printed_bytes() == printed,
        "a second call differs", what);
}

void run_direct(unsigned selector, double a, double b, double c) {
  const char* names[] = {"cxfun_sqrt", "cxfun_ln", "cxfun_log", "cxfun_cdlog"};
  const std::string what = std::string(names[selector]) + "(" + bits(a) + ", " + bits(b) +
                           (selector == 2 ? ", " + bits(c) : "") + ")";
  Expected x;
  if (selector == 2 && !(c > 0.0)) {
    // A base without a real logarithm: zero is a singularity, the rest a domain error.
    x.kind = Expected::kMathError;
    x.function = "log";
    x.domain = c != 0.0;
  }
  const double sentinel = -12345.0;
  double out[2][2] = {{sentinel, sentinel}, {sentinel, sentinel}};
  for (double* o : out) {
    const Outcome outcome = run_trapped([&] {
      switch (selector) {
        case 0:
          cxfun_sqrt(&a, &b, &o[0], &o[1]);
          break;
        case 1:
          cxfun_ln(&a, &b, &o[0], &o[1]);
          break;
        case 2:
          cxfun_log(&a, &b, &c, &o[0], &o[1]);
          break;
        default:
          cxfun_cdlog(&a, &b, &o[0], &o[1]);
          break;
      }
    });
    check_end(outcome, x, printed_bytes(), what);
    if (outcome.ended) {
      check(o[0] == sentinel && o[1] == sentinel, "a fatal math error writes nothing", what);
      return;
    }
  }
  check(std::memcmp(out[0], out[1], sizeof out[0]) == 0, "a second call differs", what);
}

}  // namespace
}  // namespace cxfun::fuzz

extern "C" int LLVMFuzzerInitialize(int*, char***) {
  cxfun::fuzz::set_up_harness();
  return 0;
}

// Input: one byte choosing the export, then the bit patterns of its two or
// three doubles.
extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, std::size_t size) {
  using namespace cxfun::fuzz;
  restore_fresh_state();
  InputReader in(data, size);
  const unsigned selector = in.byte() % 10;
  const double a = in.value<double>();
  const double b = in.value<double>();
  const double c = in.value<double>();
  if (selector < 6) {
    run_inverse(kInverse[selector], a, b);
  } else {
    run_direct(selector - 6, a, b, c);
  }
  return 0;
}
