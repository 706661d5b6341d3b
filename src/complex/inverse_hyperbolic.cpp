// Inverse hyperbolic sine, cosine and tangent through the circular functions:
//   asinh z = -i asin(i z),   atanh z = -i atan(i z),
//   acosh z = i acos z for Im z > 0, -i acos z for Im z < 0.
// Every multiplication by i is the full complex product with (0, 1), never
// an exchange of parts: the signs of zero parts follow from it.
//
// On the real axis acosh keeps i acos x for x <= 1 (so acosh(-3) = (1.76..,
// pi)), and for x > 1 gives the real inverse cosh, (arcosh x, +0).
#include "complex/complex_routines.h"
#include "errors/routine_stack.h"

namespace cxfun {
namespace {

// u * i = (Re u * 0 - Im u * 1, Re u * 1 + Im u * 0), computed in this form.
Complex times_i(const Complex& u) { return {u.re * 0.0 - u.im * 1.0, u.re * 1.0 + u.im * 0.0}; }

Complex negated(const Complex& u) { return {-u.re, -u.im}; }

}  // namespace

void ZASINH(Complex& result, const Complex& z) {
  RoutineScope scope("ZASINH");
  Complex w;
  ZASIN(w, times_i(z));
  result = negated(times_i(w));
}

void ZACOSH(Complex& result, const Complex& z) {
  RoutineScope scope("ZACOSH");
  Complex w;
  ZACOS(w, z);
  if (z.im > 0.0) {
    result = times_i(w);
  } else if (z.im < 0.0) {
    result = negated(times_i(w));
  } else if (z.re > 1.0) {
    // acos(x +- 0i) = (0, arcosh x) here; the principal acosh is real.
    result = {w.im, 0.0};
  } else {
    result = times_i(w);
  }
}

void ZATANH(Complex& result, const Complex& z) {
  RoutineScope scope("ZATANH");
  Complex w;
  ZATAN(w, times_i(z));
  result = negated(times_i(w));
}

}  // namespace cxfun
