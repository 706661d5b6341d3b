/* The C library's complex functions in the exports' call shape. Compiled as
 * C, apart from the library, so that each call is a real call into libm. */
#define _GNU_SOURCE
#include "libc_counterparts.h"

#include <complex.h>

#define UNARY(name, function)                                                 \
  void name(const double* a, const double* b, double* re, double* im) {     \
    const double complex w = function(CMPLX(*a, *b));                        \
    *re = creal(w);                                                           \
    *im = cimag(w);                                                           \
  }

UNARY(libc_casin, casin)
UNARY(libc_cacos, cacos)
UNARY(libc_catan, catan)
UNARY(libc_casinh, casinh)
UNARY(libc_cacosh, cacosh)
UNARY(libc_catanh, catanh)
UNARY(libc_csqrt, csqrt)
UNARY(libc_clog, clog)

void libc_clog10(const double* a, const double* b, const double* base, double* re, double* im) {
  (void)base;
  const double complex w = clog10(CMPLX(*a, *b));
  *re = creal(w);
  *im = cimag(w);
}

void libc_clog_ratio(const double* x, const double* base, double* re, double* im) {
  const double complex w = clog(CMPLX(*x, 0.0)) / clog(CMPLX(*base, 0.0));
  *re = creal(w);
  *im = cimag(w);
}
