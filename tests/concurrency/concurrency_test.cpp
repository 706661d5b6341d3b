// Concurrent use: the direct exports from several threads at once, the first
// calls of every cached routine from several threads, and the inverse exports
// serialised by the host with direct calls beside them. Each case is a fresh
// process. In a ThreadSanitizer build a race makes the host print a report on
// standard error and exit with status 66, which every case rejects.
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

const char* const kInverse[] = {"asin", "acos", "atan", "asinh", "acosh", "atanh"};

// Runs the host; with_suppressions allows only the reports on the error
// state, which the "first" cases provoke on purpose.
ProcessResult run_host(const std::vector<std::string>& args, bool with_suppressions) {
  std::string options = "halt_on_error=1 exitcode=66";
  if (with_suppressions) options += std::string(" suppressions=") + TSAN_SUPPRESSIONS;
  setenv("TSAN_OPTIONS", options.c_str(), 1);
  std::vector<std::string> argv = {HOST_THREADS};
  argv.insert(argv.end(), args.begin(), args.end());
  return run_process(argv);
}

TEST(ConcurrencyTest, DirectExportsFromFourThreadsAtOnce) {
  const ProcessResult r = run_host({"direct"}, false);
  EXPECT_EQ(r.exit_status, 0) << visible(r.err);
  EXPECT_EQ(r.out, "direct mismatches 0\n");
  EXPECT_EQ(r.err, "");
}

// Four threads make the first calls of each inverse export in a fresh
// process: the caches of ZA1S, ZASIN and ZATAN and the error state's set-up
// are filled while the other threads wait to use them. The results must be
// those of the same calls from one thread.
TEST(ConcurrencyTest, FirstCallsFromFourThreads) {
  for (const char* name : kInverse) {
    const ProcessResult single = run_host({"single", name}, false);
    ASSERT_EQ(single.exit_status, 0) << name << visible(single.err);
    ASSERT_EQ(single.err, "") << name;
    const ProcessResult first = run_host({"first", name}, true);
    EXPECT_EQ(first.exit_status, 0) << name << "\n" << visible(first.err);
    EXPECT_EQ(first.out, single.out) << name;
    EXPECT_EQ(first.err, "") << name;
  }
}

TEST(ConcurrencyTest, FirstParameterStoresFromFourThreads) {
  const ProcessResult r = run_host({"first-errors"}, true);
  EXPECT_EQ(r.exit_status, 0) << visible(r.err);
  EXPECT_EQ(r.out, "stored\n");
  EXPECT_EQ(r.err, "");
}

// Calls serialised by a mutex, as the header asks of a host, race on
// nothing; the direct calls beside them neither.
TEST(ConcurrencyTest, SerialisedInverseCallsBesideDirectCalls) {
  std::string expected;
  for (const char* name : kInverse) expected += run_host({"single", name}, false).out;
  const ProcessResult r = run_host({"serialised"}, false);
  EXPECT_EQ(r.exit_status, 0) << visible(r.err);
  EXPECT_EQ(r.out, expected + "direct mismatches 0\n");
  EXPECT_EQ(r.err, "");
}

}  // namespace
}  // namespace cxfun
