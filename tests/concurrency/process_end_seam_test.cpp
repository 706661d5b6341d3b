// The runtime's test-only process-end hook, through the trap the fuzz targets
// use: each documented end comes back to the caller as a description of the
// end instead of ending the test process, and without a hook the process
// ends as always (the process-level tests of the runtime show that).
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <functional>
#include <string>

#include "cxfun.h"
#include "errors/error_state.h"
#include "harness.h"
#include "runtime/checked_math.h"

namespace cxfun {
namespace {

TEST(ProcessEndSeamTest, EndsComeBackToTheHarness) {
  struct Case {
    std::function<void()> call;
    int status;
    const char* function;  // of a fatal math error
    bool domain;
    const char* why;
  };
  const double nan = std::nan("");
  const double zero = 0.0, one = 1.0, two = 2.0;
  double re = 7.0, im = 7.0;
  const Case cases[] = {
      {[] { stop_process(); }, 0, nullptr, false, "a stop"},
      {[] { fatal_math_error("atan2", MathFault::kDomain); }, 3, "atan2", true, "a math error"},
      {[&] { cxfun_log(&two, &zero, &zero, &re, &im); }, 3, "log", false, "log to the base 0"},
      {[&] {
         const double ten = 10.0, minus_zero = -0.0;
         cxfun_log(&two, &zero, &ten, &re, &im);
         cxfun_log(&two, &zero, &minus_zero, &re, &im);
       },
       3, "log", false, "log to the base -0 after a base that has a logarithm"},
      {[&] { cxfun_asin(&nan, &one, &re, &im); }, 3, "sqrt", true, "NaN part in ZA1S"},
      {[&] { cxfun_atan(&zero, &one, &re, &im); }, 0, nullptr, false, "ZATAN at i"},
  };
  ERINIT();
  fuzz::g_fresh_state = g_error_state;
  for (const Case& c : cases) {
    fuzz::restore_fresh_state();
    const fuzz::Outcome outcome = fuzz::run_trapped(c.call);
    ASSERT_TRUE(outcome.ended) << c.why;
    EXPECT_EQ(outcome.end.status, c.status) << c.why;
    if (c.function != nullptr) {
      EXPECT_STREQ(outcome.end.function, c.function) << c.why;
      EXPECT_EQ(outcome.end.domain, c.domain) << c.why;
    } else {
      EXPECT_EQ(outcome.end.function, nullptr) << c.why;
    }
  }
  // A call that does not end the process returns through the trap as usual.
  fuzz::restore_fresh_state();
  EXPECT_FALSE(fuzz::run_trapped([&] { cxfun_atan(&one, &zero, &re, &im); }).ended);
  EXPECT_EQ(re, std::atan(1.0));
  set_process_end_hook_for_testing(nullptr);
}

}  // namespace
}  // namespace cxfun
