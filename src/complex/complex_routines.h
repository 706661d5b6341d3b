// The numerical layer: complex modulus, argument, square root and logarithm,
// and the six inverse functions built on them. Every routine pushes its
// six-character name on the routine-name stack on entry and pops it on the
// way out; problems are recorded in the error layer, never returned.
//
// A complex-valued routine writes its result into the place passed first and
// reads its argument, passed second, only; the two never coincide.
#ifndef CXFUN_COMPLEX_COMPLEX_ROUTINES_H
#define CXFUN_COMPLEX_COMPLEX_ROUTINES_H

#include "complex/inline_routines.h"  // ZA1S, ZARG, ZS1RT, ZL1G
#include "machine/complex_value.h"

namespace cxfun {

// Principal arcsine and arccosine (acos z = pi/2 - asin z).
void ZASIN(Complex& result, const Complex& z);
void ZACOS(Complex& result, const Complex& z);

// Principal arctangent, with a warning near z*z = -1 and a terminal error on
// the singular points +i and -i.
void ZATAN(Complex& result, const Complex& z);

// Inverse hyperbolic functions through the circular ones:
// asinh z = -i asin(i z), acosh z = +-i acos z, atanh z = -i atan(i z).
void ZASINH(Complex& result, const Complex& z);
void ZACOSH(Complex& result, const Complex& z);
void ZATANH(Complex& result, const Complex& z);

}  // namespace cxfun

#endif
