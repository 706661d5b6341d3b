/* cxfun: complex elementary functions with a strict error-reporting layer.
 *
 * Every argument is the address of a double. The complex argument z is
 * composed from the first two inputs a and b as (a*1 + b*0, b*1 + 0*1), so an
 * imaginary input of -0 reaches the function as +0 and lies on the upper side
 * of a branch cut along the real axis.
 *
 * The six inverse functions print warnings and errors as text lines on
 * standard output, and a terminal error ends the process with exit status 0.
 * A math domain error of the real square root, logarithm or arctangent (a
 * NaN argument, a bad base of cxfun_log) ends the process with exit status 3
 * and a message on standard error.
 *
 * Threads: the four direct functions (sqrt, ln, log, cdlog) keep no state
 * and may be called from several threads at once. The six inverse functions
 * (asin, acos, atan, asinh, acosh, atanh) share one process-wide error state
 * without a lock: calls of them must not overlap in time, so a host that
 * calls them from several threads must serialise every call of the six (for
 * example with one mutex around each call). The direct functions may run
 * alongside them. */
#ifndef CXFUN_H
#define CXFUN_H

#if defined(_WIN32)
#  if defined(CXFUN_BUILDING)
#    define CXFUN_API __declspec(dllexport)
#  else
#    define CXFUN_API __declspec(dllimport)
#  endif
#  define CXFUN_CALL __cdecl
#else
#  define CXFUN_API __attribute__((visibility("default")))
#  define CXFUN_CALL
#endif

#ifdef __cplusplus
extern "C" {
#endif

/* Principal arccosine of z = (*a, *b), written to (*re, *im). */
CXFUN_API void CXFUN_CALL cxfun_acos(const double* a, const double* b, double* re, double* im);
/* Principal inverse hyperbolic cosine of z = (*a, *b). */
CXFUN_API void CXFUN_CALL cxfun_acosh(const double* a, const double* b, double* re, double* im);
/* Principal arcsine of z = (*a, *b). */
CXFUN_API void CXFUN_CALL cxfun_asin(const double* a, const double* b, double* re, double* im);
/* Principal inverse hyperbolic sine of z = (*a, *b). */
CXFUN_API void CXFUN_CALL cxfun_asinh(const double* a, const double* b, double* re, double* im);
/* Principal arctangent of z = (*a, *b). */
CXFUN_API void CXFUN_CALL cxfun_atan(const double* a, const double* b, double* re, double* im);
/* Inverse hyperbolic tangent of z = (*a, *b). */
CXFUN_API void CXFUN_CALL cxfun_atanh(const double* a, const double* b, double* re, double* im);
/* Logarithm of the real *x to the real base *base, ln x / ln base as complex logarithms. */
CXFUN_API void CXFUN_CALL cxfun_cdlog(const double* x, const double* base, double* re, double* im);
/* Principal natural logarithm of z = (*a, *b). */
CXFUN_API void CXFUN_CALL cxfun_ln(const double* a, const double* b, double* re, double* im);
/* ln z divided by the real natural logarithm of *base (base 10: decimal logarithm). */
CXFUN_API void CXFUN_CALL cxfun_log(const double* a, const double* b, const double* base, double* re, double* im);
/* Principal square root of z = (*a, *b). */
CXFUN_API void CXFUN_CALL cxfun_sqrt(const double* a, const double* b, double* re, double* im);

#ifdef __cplusplus
}
#endif

#endif /* CXFUN_H */
