#include "runtime/termination.h"

#include <cstdio>
#include <cstdlib>

#include "runtime/checked_math.h"
#include "runtime/units.h"

namespace cxfun {

void stop_process() {
  flush_units();
  call_process_end_hook({0, nullptr, false});
  std::exit(0);
}

void fatal_math_error(const char* function, MathFault fault) {
  const bool domain = fault == MathFault::kDomain;
  call_process_end_hook({3, function, domain});
  std::fprintf(stderr, "\r\nrun-time error M%d: MATH\r\n- %s: %s error\r\n",
               domain ? 6201 : 6202, function, domain ? "DOMAIN" : "SING");
  std::fflush(stderr);
  std::exit(3);
}

}  // namespace cxfun
