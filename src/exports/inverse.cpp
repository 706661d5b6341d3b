// The six inverse-function entry points: each clears its outputs, composes z
// from the host's two numbers, calls one numerical routine and delivers the
// result, real part first. Nothing numerical happens here.
#include "complex/complex_routines.h"
#include "cxfun.h"

namespace cxfun {
namespace {

using Routine = void (*)(Complex&, const Complex&);

template <Routine routine>
void deliver(const double* a, const double* b, double* re, double* im) {
  // The outputs are cleared before the inputs are read, so an input that
  // shares its address with an output reads as +0.
  *re = 0.0;
  *im = 0.0;
  const double av = *a;
  const double bv = *b;
  // An infinite or NaN b makes the real part NaN (b * 0), and b = -0 becomes
  // +0 (-0 + 0).
  const Complex z{(av * 1.0) + (bv * 0.0), (bv * 1.0) + (0.0 * 1.0)};
  Complex w;
  routine(w, z);
  *re = w.re;
  *im = w.im;
}

}  // namespace
}  // namespace cxfun

extern "C" {

CXFUN_API void CXFUN_CALL cxfun_acos(const double* a, const double* b, double* re, double* im) {
  cxfun::deliver<cxfun::ZACOS>(a, b, re, im);
}

CXFUN_API void CXFUN_CALL cxfun_acosh(const double* a, const double* b, double* re, double* im) {
  cxfun::deliver<cxfun::ZACOSH>(a, b, re, im);
}

CXFUN_API void CXFUN_CALL cxfun_asin(const double* a, const double* b, double* re, double* im) {
  cxfun::deliver<cxfun::ZASIN>(a, b, re, im);
}

CXFUN_API void CXFUN_CALL cxfun_asinh(const double* a, const double* b, double* re, double* im) {
  cxfun::deliver<cxfun::ZASINH>(a, b, re, im);
}

CXFUN_API void CXFUN_CALL cxfun_atan(const double* a, const double* b, double* re, double* im) {
  cxfun::deliver<cxfun::ZATAN>(a, b, re, im);
}

CXFUN_API void CXFUN_CALL cxfun_atanh(const double* a, const double* b, double* re, double* im) {
  cxfun::deliver<cxfun::ZATANH>(a, b, re, im);
}

}  // extern "C"
