// The ten exports side by side with their C library counterparts, for the
// benchmarks and the accuracy tool. Both sides of a pair take the same
// addresses; the logarithm to a real base is compared at the base 10.
#ifndef CXFUN_TOOLS_ACCURACY_EXPORT_PAIRS_H
#define CXFUN_TOOLS_ACCURACY_EXPORT_PAIRS_H

#include "cxfun.h"
#include "libc_counterparts.h"

namespace cxfun::pairs {

// How an export takes its inputs.
enum class Shape {
  kComplex,      // (a, b, re, im): z = a + ib
  kComplexBase,  // (a, b, base, re, im): z and a real base, here 10
  kRealPair,     // (x, base, re, im): two reals
};

using ComplexFn = void (*)(const double*, const double*, double*, double*);
using BaseFn = void (*)(const double*, const double*, const double*, double*, double*);

struct ExportPair {
  const char* name;       // the export
  const char* libc_name;  // its counterpart in <complex.h>
  Shape shape;
  ComplexFn ours;  // kComplex and kRealPair
  ComplexFn theirs;
  BaseFn ours_base;  // kComplexBase
  BaseFn theirs_base;
};

inline constexpr double kBase = 10.0;

inline constexpr ExportPair kExportPairs[] = {
    {"asin", "casin", Shape::kComplex, cxfun_asin, libc_casin, nullptr, nullptr},
    {"acos", "cacos", Shape::kComplex, cxfun_acos, libc_cacos, nullptr, nullptr},
    {"atan", "catan", Shape::kComplex, cxfun_atan, libc_catan, nullptr, nullptr},
    {"asinh", "casinh", Shape::kComplex, cxfun_asinh, libc_casinh, nullptr, nullptr},
    {"acosh", "cacosh", Shape::kComplex, cxfun_acosh, libc_cacosh, nullptr, nullptr},
    {"atanh", "catanh", Shape::kComplex, cxfun_atanh, libc_catanh, nullptr, nullptr},
    {"sqrt", "csqrt", Shape::kComplex, cxfun_sqrt, libc_csqrt, nullptr, nullptr},
    {"ln", "clog", Shape::kComplex, cxfun_ln, libc_clog, nullptr, nullptr},
    {"log", "clog10", Shape::kComplexBase, nullptr, nullptr, cxfun_log, libc_clog10},
    {"cdlog", "clog/clog", Shape::kRealPair, cxfun_cdlog, libc_clog_ratio, nullptr, nullptr},
};

}  // namespace cxfun::pairs

#endif
