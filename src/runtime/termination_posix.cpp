#include "runtime/termination.h"

#include <cstdio>
#include <cstdlib>

#include "runtime/checked_math.h"
#include "runtime/units.h"

namespace cxfun {

void stop_process() {
  flush_units();
  std::exit(0);
}

void fatal_math_error(const char* function, MathFault fault) {
  const bool domain = fault == MathFault::kDomain;
  std::fprintf(stderr, "\r\nrun-time error M%d: MATH\r\n- %s: %s error\r\n",
               domain ? 6201 : 6202, function, domain ? "DOMAIN" : "SING");
  std::fflush(stderr);
  std::exit(3);
}

}  // namespace cxfun
