// The C library's counterparts of the ten exports, behind the exports' own
// call shape: every argument the address of a double. The benchmarks and the
// accuracy tool call both sides the same way, through a table of pointers.
#ifndef CXFUN_TOOLS_ACCURACY_LIBC_COUNTERPARTS_H
#define CXFUN_TOOLS_ACCURACY_LIBC_COUNTERPARTS_H

#ifdef __cplusplus
extern "C" {
#endif

void libc_casin(const double* a, const double* b, double* re, double* im);
void libc_cacos(const double* a, const double* b, double* re, double* im);
void libc_catan(const double* a, const double* b, double* re, double* im);
void libc_casinh(const double* a, const double* b, double* re, double* im);
void libc_cacosh(const double* a, const double* b, double* re, double* im);
void libc_catanh(const double* a, const double* b, double* re, double* im);
void libc_csqrt(const double* a, const double* b, double* re, double* im);
void libc_clog(const double* a, const double* b, double* re, double* im);
/* clog10 of (a, b): the base is 10 and its argument is not read. */
void libc_clog10(const double* a, const double* b, const double* base, double* re, double* im);
/* clog(x) / clog(base) of two reals. */
void libc_clog_ratio(const double* x, const double* base, double* re, double* im);

#ifdef __cplusplus
}
#endif

#endif
