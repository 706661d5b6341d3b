// Host for process-level tests of the numerical layer. Calls one function
//   host_complex NAME RE IM
// where NAME is an export (asin, acos, atan, asinh, acosh, atanh, called
// through cxfun_NAME) or an internal routine (ZA1S, ZARG, ZS1RT, ZL1G, ZASIN,
// ZATAN, called directly at the level the user calls). RE and IM are read
// with strtod ("nan", "inf", "-0" included). A call that returns prints its
// result as "%.17g %.17g" (or one number for ZA1S and ZARG) on a line.
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "complex/complex_routines.h"
#include "cxfun.h"

namespace {

using Export = void (*)(const double*, const double*, double*, double*);
using Routine = void (*)(cxfun::Complex&, const cxfun::Complex&);

struct ExportEntry {
  const char* name;
  Export function;
};

struct RoutineEntry {
  const char* name;
  Routine routine;
};

const ExportEntry kExports[] = {{"asin", cxfun_asin},   {"acos", cxfun_acos},
                                {"atan", cxfun_atan},   {"asinh", cxfun_asinh},
                                {"acosh", cxfun_acosh}, {"atanh", cxfun_atanh}};

const RoutineEntry kRoutines[] = {{"ZS1RT", cxfun::ZS1RT},
                                  {"ZL1G", cxfun::ZL1G},
                                  {"ZASIN", cxfun::ZASIN},
                                  {"ZATAN", cxfun::ZATAN}};

}  // namespace

int main(int argc, char** argv) {
  if (argc != 4) {
    std::fprintf(stderr, "usage: host_complex NAME RE IM\n");
    return 2;
  }
  const char* name = argv[1];
  const double a = std::strtod(argv[2], nullptr);
  const double b = std::strtod(argv[3], nullptr);
  const cxfun::Complex z{a, b};
  for (const ExportEntry& e : kExports) {
    if (std::strcmp(name, e.name) == 0) {
      double re = 0;
      double im = 0;
      e.function(&a, &b, &re, &im);
      std::printf("%.17g %.17g\n", re, im);
      return 0;
    }
  }
  for (const RoutineEntry& r : kRoutines) {
    if (std::strcmp(name, r.name) == 0) {
      cxfun::Complex w{0, 0};
      r.routine(w, z);
      std::printf("%.17g %.17g\n", w.re, w.im);
      return 0;
    }
  }
  if (std::strcmp(name, "ZA1S") == 0) {
    std::printf("%.17g\n", cxfun::ZA1S(z));
    return 0;
  }
  if (std::strcmp(name, "ZARG") == 0) {
    std::printf("%.17g\n", cxfun::ZARG(z));
    return 0;
  }
  std::fprintf(stderr, "host_complex: unknown function '%s'\n", name);
  return 2;
}
