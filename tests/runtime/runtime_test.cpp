#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "process_runner.h"

namespace cxfun {
namespace {

using testing::run_process;
using testing::visible;

std::string fatal(const char* function, bool domain) {
  return std::string("\r\nrun-time error M") + (domain ? "6201" : "6202") + ": MATH\r\n- " +
         function + ": " + (domain ? "DOMAIN" : "SING") + " error\r\n";
}

struct Case {
  std::vector<std::string> args;
  int status;
  std::string out;  // after the host's own first line
  std::string err;
};

// A domain or singularity error ends the process with status 3 after
// ordinary exit processing: buffered output is flushed and exit handlers run.
TEST(RuntimeTest, CheckedMathTable) {
  const std::string flushed = "exit handler ran\n";
  const Case cases[] = {
      {{"sqrt", "4"}, 0, "2\n" + flushed, ""},
      {{"sqrt", "-0"}, 0, "-0\n" + flushed, ""},
      {{"sqrt", "inf"}, 0, "inf\n" + flushed, ""},
      {{"sqrt", "-1e-300"}, 3, flushed, fatal("sqrt", true)},
      {{"sqrt", "nan"}, 3, flushed, fatal("sqrt", true)},
      {{"sqrt", "-inf"}, 3, flushed, fatal("sqrt", true)},
      {{"log", "1"}, 0, "0\n" + flushed, ""},
      {{"log", "inf"}, 0, "inf\n" + flushed, ""},
      {{"log", "4.9406564584124654e-324"}, 0, "-744.44007192138122\n" + flushed, ""},
      {{"log", "0"}, 3, flushed, fatal("log", false)},
      {{"log", "-0"}, 3, flushed, fatal("log", false)},
      {{"log", "-2"}, 3, flushed, fatal("log", true)},
      {{"log", "-inf"}, 3, flushed, fatal("log", true)},
      {{"log", "nan"}, 3, flushed, fatal("log", true)},
      {{"logx", "0"}, 3, flushed, fatal("log", false)},
      {{"logx", "-nan"}, 3, flushed, fatal("log", true)},
      {{"atan2", "0", "-1"}, 0, "3.1415926535897931\n" + flushed, ""},
      {{"atan2", "inf", "1"}, 0, "1.5707963267948966\n" + flushed, ""},
      {{"atan2", "0", "0"}, 0, "0\n" + flushed, ""},
      {{"atan2", "nan", "1"}, 3, flushed, fatal("atan2", true)},
      {{"atan2", "1", "nan"}, 3, flushed, fatal("atan2", true)},
      {{"atan2", "inf", "-inf"}, 3, flushed, fatal("atan2", true)},
  };
  for (const Case& c : cases) {
    std::vector<std::string> argv = {HOST_RUNTIME};
    argv.insert(argv.end(), c.args.begin(), c.args.end());
    const testing::ProcessResult r = run_process(argv);
    const std::string what = c.args[0] + " " + c.args[1];
    EXPECT_EQ(r.exit_status, c.status) << what;
    EXPECT_EQ(r.out, "host output before\n" + c.out) << what << "\n" << visible(r.out);
    EXPECT_EQ(r.err, c.err) << what << "\n" << visible(r.err);
  }
}

// Unit 6 shares C stdio with the host, so lines keep their order; unit 0 is
// standard error; a stop flushes, runs exit handlers and ends with status 0.
TEST(RuntimeTest, UnitsAndStop) {
  testing::ProcessResult r = run_process({HOST_RUNTIME, "record", "6", " *** line"});
  EXPECT_EQ(r.out, "host output before\n *** line\nexit handler ran\n");
  r = run_process({HOST_RUNTIME, "record", "0", "to error"});
  EXPECT_EQ(r.err, "to error\n");
  r = run_process({HOST_RUNTIME, "stop", " *** last"});
  EXPECT_EQ(r.exit_status, 0);
  EXPECT_EQ(r.out, "host output before\n *** last\nexit handler ran\n");
  EXPECT_EQ(r.err, "");
}

// A unit whose file cannot be created still delivers its record, on standard
// error after a note naming the unit.
TEST(RuntimeTest, UnopenableUnitFallsBackToStandardError) {
  const testing::ProcessResult r =
      run_process({HOST_RUNTIME, "record", "12", "kept"}, "", "/proc");
  EXPECT_EQ(r.exit_status, 0);
  EXPECT_EQ(r.err, "cxfun: cannot open fort.12 for unit 12; record follows\nkept\n");
}

}  // namespace
}  // namespace cxfun
