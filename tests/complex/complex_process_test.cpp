// What a host process sees when the numerical layer reports or ends it:
// printed lines on standard output, the fatal math message on standard error,
// and the exit status, byte for byte.
#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "process_runner.h"

namespace cxfun {
namespace {

using testing::run_process;
using testing::visible;

// Columns 6 to 37 name, 38 to 43 type, 50 to 55 code, then the mark of an
// internal call.
std::string traceback_line(const std::string& name, int type, int code, bool internal) {
  char line[96];
  std::snprintf(line, sizeof line, "     %-32s%6d      %6d%s", name.c_str(), type, code,
                internal ? "    (Called internally)" : "");
  return std::string(line) + "\n";
}

const std::string kTracebackHead =
    "     Here is a traceback of subprogram calls in reverse order:\n"
    "     Routine name                    Error type  Error code\n"
    "     ------------                    ----------  ----------\n";

const std::string kContinuation = " ***          ";

// The singular-point report of the arctangent for z = i, as printed.
const std::string kSingularAtPlusI =
    "\n *** TERMINAL ERROR 5 from ZATAN.  Z =\n" + kContinuation +
    "(0.000000000000000D+00,1.000000000000000D+00) is so close to +i \n" + kContinuation +
    "or -i that all precision is lost because DATAN is nearly \n" + kContinuation + "singular.\n";

// The same for z = (-0, -1): the longer text moves the line breaks.
const std::string kSingularAtMinusI =
    "\n *** TERMINAL ERROR 5 from ZATAN.  Z =\n" + kContinuation +
    "(-0.000000000000000D+00,-1.000000000000000D+00) is so close to \n" + kContinuation +
    "+i or -i that all precision is lost because DATAN is nearly \n" + kContinuation +
    "singular.\n";

std::string overflow_report(const std::string& z, const std::string& caller) {
  return "\n *** TERMINAL ERROR 4 from ZA1S.  The function overflows because Z =\n" +
         kContinuation + z + " is too large.\n" + kTracebackHead +
         traceback_line("ZA1S", 5, 4, true) + traceback_line(caller, 0, 0, false) +
         traceback_line("USER", 0, 0, false);
}

// The host's line for a result that returns.
std::string result_line(double re, double im) {
  char line[64];
  std::snprintf(line, sizeof line, "%.17g %.17g\n", re, im);
  return line;
}

std::string math_error(const char* function, bool domain) {
  return std::string("\r\nrun-time error M") + (domain ? "6201" : "6202") + ": MATH\r\n- " +
         function + ": " + (domain ? "DOMAIN" : "SING") + " error\r\n";
}

struct ProcessCase {
  std::vector<std::string> call;  // function, real part, imaginary part
  int status;
  std::string out;
  std::string err;
  const char* why;
};

TEST(ComplexProcessTest, Table) {
  const ProcessCase cases[] = {
      {{"atan", "0.3", "0.4"},
       0,
       result_line(0.3373704711117763, 0.3790868723420221),
       "",
       "an ordinary call prints nothing of its own"},
      {{"atan", "0", "1"},
       0,
       kSingularAtPlusI,
       "",
       "z = i: the terminal error replaces the warning, no traceback at level 2"},
      {{"atan", "0", "-1"},
       0,
       "\n *** TERMINAL ERROR 5 from ZATAN.  Z =\n" + kContinuation +
           "(0.000000000000000D+00,-1.000000000000000D+00) is so close to \n" + kContinuation +
           "+i or -i that all precision is lost because DATAN is nearly \n" + kContinuation +
           "singular.\n",
       "",
       "z = -i"},
      {{"atanh", "1", "0"},
       0,
       kSingularAtPlusI + kTracebackHead + traceback_line("ZATAN", 5, 5, true) +
           traceback_line("ZATANH", 0, 0, false) + traceback_line("USER", 0, 0, false),
       "",
       "atanh 1 reaches +i one level deeper"},
      {{"atanh", "-1", "0"},
       0,
       kSingularAtMinusI + kTracebackHead + traceback_line("ZATAN", 5, 5, true) +
           traceback_line("ZATANH", 0, 0, false) + traceback_line("USER", 0, 0, false),
       "",
       "atanh -1 reports t = (-0, -1)"},
      {{"asin", "1.5e308", "1.5e308"},
       0,
       overflow_report("(1.500000000000000+308,1.500000000000000+308)", "ZASIN"),
       "",
       "modulus overflow, reported by ZA1S under ZASIN"},
      {{"atan", "inf", "1"},
       0,
       overflow_report("(Infinity,1.000000000000000D+00)", "ZATAN"),
       "",
       "an infinite part overflows the modulus"},
      {{"asin", "nan", "0"}, 3, "", math_error("sqrt", true), "NaN real input"},
      {{"acos", "1", "inf"}, 3, "", math_error("sqrt", true), "an infinite b makes Re z NaN"},
      {{"atan", "nan", "0"}, 3, "", math_error("sqrt", true), "NaN input to the arctangent"},
      {{"asinh", "0.5", "nan"}, 3, "", math_error("sqrt", true), "NaN imaginary input"},
      {{"acosh", "nan", "1"}, 3, "", math_error("sqrt", true), "NaN input to acosh"},
      {{"atanh", "nan", "nan"}, 3, "", math_error("sqrt", true), "NaN input to atanh"},
      {{"ZA1S", "-inf", "inf"}, 3, "", math_error("sqrt", true), "two infinite parts"},
      {{"ZL1G", "0", "0"}, 3, "", math_error("log", false), "logarithm of R = 0"},
      {{"ZL1G", "nan", "0"}, 3, "", math_error("log", true), "logarithm of a NaN R"},
      {{"ZARG", "nan", "1"}, 3, "", math_error("atan2", true), "arctangent of a NaN part"},
      {{"ZASIN", "1e8", "-1e8"},
       0,
       result_line(0.7853981633974483, -19.460401514792284),
       "",
       "the small root no longer cancels to 0"},
  };
  for (const ProcessCase& c : cases) {
    std::vector<std::string> argv = {HOST_COMPLEX};
    argv.insert(argv.end(), c.call.begin(), c.call.end());
    const testing::ProcessResult r = run_process(argv);
    EXPECT_EQ(r.exit_status, c.status) << c.why;
    EXPECT_EQ(r.out, c.out) << c.why << "\n" << visible(r.out);
    EXPECT_EQ(r.err, c.err) << c.why << "\n" << visible(r.err);
  }
}

}  // namespace
}  // namespace cxfun
