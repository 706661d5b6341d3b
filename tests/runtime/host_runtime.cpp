// Host for process-level tests of the runtime layer: calls one checked math
// function with the given argument(s), or writes a record to a unit, and
// prints what it got. An atexit handler shows that exits are ordinary.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "runtime/checked_math.h"
#include "runtime/termination.h"
#include "runtime/units.h"

int main(int argc, char** argv) {
  std::atexit([] { std::fputs("exit handler ran\n", stdout); });
  std::fputs("host output before\n", stdout);  // stays buffered until exit
  if (argc < 3) return 2;
  const char* op = argv[1];
  const double x = std::strtod(argv[2], nullptr);
  double result = 0;
  if (std::strcmp(op, "sqrt") == 0) {
    result = cxfun::checked_sqrt(x);
  } else if (std::strcmp(op, "log") == 0) {
    result = cxfun::checked_log(x);
  } else if (std::strcmp(op, "logx") == 0) {
    result = static_cast<double>(cxfun::checked_log_extended(x));
  } else if (std::strcmp(op, "atan2") == 0 && argc > 3) {
    result = cxfun::checked_atan2(x, std::strtod(argv[3], nullptr));
  } else if (std::strcmp(op, "record") == 0 && argc > 3) {
    cxfun::write_record(std::atoi(argv[2]), argv[3], static_cast<int>(std::strlen(argv[3])));
    return 0;
  } else if (std::strcmp(op, "stop") == 0) {
    cxfun::write_record(6, argv[2], static_cast<int>(std::strlen(argv[2])));
    cxfun::stop_process();
  } else {
    return 2;
  }
  std::printf("%.17g\n", result);
  return 0;
}
