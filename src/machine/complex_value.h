// A complex value as the library passes it around: two IEEE doubles, real
// part first. Arithmetic on it is written out part by part in the routines,
// in the order their definitions give, never through std::complex (whose
// operators add NaN and infinity recovery the routines must not have).
#ifndef CXFUN_MACHINE_COMPLEX_VALUE_H
#define CXFUN_MACHINE_COMPLEX_VALUE_H

namespace cxfun {

struct Complex {
  double re;
  double im;
};

}  // namespace cxfun

#endif
