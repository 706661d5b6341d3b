// The command-line host cxfun as a subprocess: exit status, standard output
// and standard error byte for byte.
#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "process_runner.h"

namespace cxfun {
namespace {

using testing::ProcessResult;
using testing::run_process;
using testing::visible;

struct Case {
  std::vector<std::string> args;  // after the program name
  std::string input;              // standard input
  int status;
  std::string out;
  std::string err;
  const char* why;
};

void check(const char* program, const Case& c) {
  std::vector<std::string> argv = {program};
  argv.insert(argv.end(), c.args.begin(), c.args.end());
  const ProcessResult r = run_process(argv, c.input);
  EXPECT_EQ(r.exit_status, c.status) << c.why;
  EXPECT_EQ(r.out, c.out) << c.why << "\n" << visible(r.out);
  EXPECT_EQ(r.err, c.err) << c.why << "\n" << visible(r.err);
}

std::string fatal_log(bool domain) {
  return std::string("\r\nrun-time error M") + (domain ? "6201" : "6202") +
         ": MATH\r\n- log: " + (domain ? "DOMAIN" : "SING") + " error\r\n";
}

// One call per command line: operand forms and the printed forms of results.
TEST(CliTest, OneCall) {
  const Case cases[] = {
      {{"sqrt", "-4", "0"}, "", 0, "0 2\n", "", "square root on the cut"},
      {{"log", "8", "0", "2"}, "", 0, "2.9999999999999996 0\n", "", "log to a real base"},
      {{"cdlog", "8", "2"}, "", 0, "2.9999999999999996 0\n", "", "cdlog"},
      {{"ln", "-0", "-0"}, "", 0, "-inf 3.141592653589793\n", "", "-0 read as negative zero"},
      {{"log", "-1", "0", "0.5"}, "", 0, "-0 -4.532360141827193\n", "", "-0 printed as such"},
      {{"ln", "1", "inf"}, "", 0, "inf nan\n", "", "inf read and printed"},
      {{"sqrt", "nan", "1"}, "", 0, "nan nan\n", "", "NaN printed without its sign"},
      {{"ln", "-INFINITY", "0"}, "", 0, "inf 3.141592653589793\n", "", "strtod's spellings"},
      {{"sqrt", "0x1p2", "-0x0p0"}, "", 0, "2 0\n", "", "hexadecimal floats"},
      {{"sqrt", "1.7e308", "1.7e308"},
       "",
       0,
       "1.4325088230154573e+154 5.933645827121221e+153\n",
       "",
       "shortest form with exponent"},
      {{"sqrt", "1e999", "0"}, "", 0, "inf 0\n", "", "an out-of-range decimal rounds to inf"},
  };
  for (const Case& c : cases) check(CXFUN_CLI, c);
}

TEST(CliTest, UsageErrors) {
  const Case cases[] = {
      {{"foo", "1", "2"},
       "",
       2,
       "",
       "cxfun: unknown function 'foo' (cxfun --help lists them)\n",
       "unknown function"},
      {{"sqrt", "1"}, "", 2, "", "cxfun: sqrt takes 2 operands (A B), not 1\n", "too few"},
      {{"log", "1", "2"},
       "",
       2,
       "",
       "cxfun: log takes 3 operands (A B BASE), not 2\n",
       "log needs a base"},
      {{"cdlog", "1", "2", "3"},
       "",
       2,
       "",
       "cxfun: cdlog takes 2 operands (X BASE), not 3\n",
       "too many"},
      {{"sqrt", "x1", "0"}, "", 2, "", "cxfun: malformed number 'x1'\n", "not a number"},
      {{"sqrt", "1", "2.5x"}, "", 2, "", "cxfun: malformed number '2.5x'\n", "trailing text"},
      {{"sqrt", "", "0"}, "", 2, "", "cxfun: malformed number ''\n", "empty operand"},
      {{"sqrt", " 1", "0"}, "", 2, "", "cxfun: malformed number ' 1'\n", "leading blank"},
  };
  for (const Case& c : cases) check(CXFUN_CLI, c);
}

// Without operands cxfun answers standard input line by line. A bad line is
// reported with its number and skipped; the status says so at the end.
TEST(CliTest, Batch) {
  const Case cases[] = {
      {{},
       "sqrt -4 0\n\n  \t\nlog 8 0 2\r\ncdlog 8 2",
       0,
       "0 2\n2.9999999999999996 0\n2.9999999999999996 0\n",
       "",
       "blank lines skipped, CR LF and a last line without line end accepted"},
      {{},
       "sqrt 4 0\nbogus 1 2\nsqrt x1 2\nsqrt 1\nsqrt 9 0\n",
       2,
       "2 0\n3 0\n",
       "cxfun: line 2: unknown function 'bogus' (cxfun --help lists them)\n"
       "cxfun: line 3: malformed number 'x1'\n"
       "cxfun: line 4: sqrt takes 2 operands (A B), not 1\n",
       "bad lines reported, the rest answered"},
      {{}, "", 0, "", "", "empty input"},
  };
  for (const Case& c : cases) check(CXFUN_CLI, c);
}

// A process end inside the library passes through: the math error of a bad
// base (status 3, message on standard error, earlier answers flushed) and a
// terminal error of the numerical layer (status 0, message on standard output).
TEST(CliTest, LibraryEndsTheProcess) {
  const Case cases[] = {
      {{"log", "2", "0", "0"}, "", 3, "", fatal_log(false), "base 0"},
      {{"log", "2", "0", "-0"}, "", 3, "", fatal_log(false), "base -0"},
      {{"log", "2", "0", "-2"}, "", 3, "", fatal_log(true), "negative base"},
      {{"log", "2", "0", "-inf"}, "", 3, "", fatal_log(true), "base -inf"},
      {{"log", "2", "0", "nan"}, "", 3, "", fatal_log(true), "NaN base"},
      {{},
       "sqrt 4 0\nlog 2 0 -2\nsqrt 9 0\n",
       3,
       "2 0\n",
       fatal_log(true),
       "batch: earlier answers flushed, nothing after"},
      {{},
       "sqrt 4 0\natan 0 1\nsqrt 9 0\n",
       0,
       "2 0\n"
       "\n"
       " *** TERMINAL ERROR 5 from ZATAN.  Z =\n"
       " ***          (0.000000000000000D+00,1.000000000000000D+00) is so close to +i \n"
       " ***          or -i that all precision is lost because DATAN is nearly \n"
       " ***          singular.\n",
       "",
       "the library's own message and stop"},
  };
  for (const Case& c : cases) check(CXFUN_CLI, c);
}

// The copy in direct_only/ loads the library beside it, which exports only
// the direct functions; the others are reported, not called.
TEST(CliTest, FunctionsMissingFromTheLibrary) {
  const Case cases[] = {
      {{"sqrt", "-4", "0"}, "", 0, "0 2\n", "", "the library beside the executable"},
      {{"asin", "0", "0"},
       "",
       2,
       "",
       "cxfun: asin is not available yet (libcxfun.so.1 has no cxfun_asin)\n",
       "missing export"},
      {{},
       "atanh 0 0\nln 1 0\n",
       2,
       "0 0\n",
       "cxfun: line 1: atanh is not available yet (libcxfun.so.1 has no cxfun_atanh)\n",
       "missing export in batch"},
  };
  for (const Case& c : cases) check(CXFUN_CLI_DIRECT_ONLY, c);

  const ProcessResult help = run_process({CXFUN_CLI_DIRECT_ONLY, "--help"});
  EXPECT_EQ(help.exit_status, 0);
  EXPECT_NE(help.out.find("  log    A B BASE  logarithm of A+iB to the real base BASE\n"),
            std::string::npos)
      << help.out;
  EXPECT_NE(help.out.find("  cdlog  X BASE    logarithm of the real X to the real base BASE\n"),
            std::string::npos)
      << help.out;
  EXPECT_NE(
      help.out.find("  acosh  A B       inverse hyperbolic cosine of A+iB (not available yet)\n"),
      std::string::npos)
      << help.out;
  EXPECT_NE(help.out.find("  sqrt   A B       principal square root of A+iB\n"), std::string::npos)
      << help.out;

  const ProcessResult full = run_process({CXFUN_CLI, "--help"});
  EXPECT_EQ(full.exit_status, 0);
  EXPECT_EQ(full.out.find("not available"), std::string::npos) << full.out;
}

// A copy with no library beside it uses the loader's search path.
TEST(CliTest, LibraryFromTheSearchPath) {
  const char* saved = std::getenv("LD_LIBRARY_PATH");
  const std::string saved_path = saved != nullptr ? saved : "";
  unsetenv("LD_LIBRARY_PATH");
  ProcessResult r = run_process({CXFUN_CLI_ALONE, "sqrt", "4", "0"});
  EXPECT_EQ(r.exit_status, 1);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err.rfind("cxfun: cannot load libcxfun.so.1: ", 0), 0u) << r.err;

  ASSERT_EQ(setenv("LD_LIBRARY_PATH", DIRECT_ONLY_DIR, 1), 0);
  r = run_process({CXFUN_CLI_ALONE, "sqrt", "4", "0"});
  if (saved != nullptr) {
    setenv("LD_LIBRARY_PATH", saved_path.c_str(), 1);
  } else {
    unsetenv("LD_LIBRARY_PATH");
  }
  EXPECT_EQ(r.exit_status, 0) << r.err;
  EXPECT_EQ(r.out, "2 0\n");
}

}  // namespace
}  // namespace cxfun
