// Exact values from MPC and the error of a double result against them, shared
// by the accuracy tool and the accuracy test.
#ifndef CXFUN_TOOLS_ACCURACY_REFERENCE_H
#define CXFUN_TOOLS_ACCURACY_REFERENCE_H

#include <mpc.h>

#include "machine/complex_value.h"

namespace cxfun::reference {

// Working precision of the reference values, far above the 53 bits of the
// results, so that the reference's own error never shows.
inline constexpr mpfr_prec_t kPrecision = 256;

// A complex number of kPrecision bits, cleared when it goes out of scope.
class Value {
 public:
  Value() { mpc_init2(v_, kPrecision); }
  explicit Value(const Complex& z) : Value() { set(z); }
  ~Value() { mpc_clear(v_); }
  Value(const Value&) = delete;
  Value& operator=(const Value&) = delete;

  void set(const Complex& z) { mpc_set_d_d(v_, z.re, z.im, MPC_RNDNN); }
  mpc_ptr get() { return v_; }
  mpc_srcptr get() const { return v_; }

 private:
  mpc_t v_;
};

// The error of w against the exact value e: normwise relative, |w - e| / |e|,
// or, with a positive `scale`, absolute in units of that scale,
// |w - e| / scale (for results that are small differences of terms of size
// `scale`). A plain ratio, not scaled to ulps; +inf where the divisor is 0
// and w differs from e, 0 where it does not; NaN where w is NaN.
double error_ratio(const Complex& w, mpc_srcptr exact, double scale = 0.0);

// log_b x = log x / log b for complex x and b, at kPrecision bits.
void log_to_base(Value& result, const Value& x, const Value& b);

}  // namespace cxfun::reference

#endif
