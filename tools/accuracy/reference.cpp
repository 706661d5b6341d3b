#include "reference.h"

#include <cmath>

namespace cxfun::reference {

double error_ratio(const Complex& w, mpc_srcptr exact, double scale) {
  Value diff(w);
  mpfr_t num;
  mpfr_t den;
  mpfr_inits2(kPrecision, num, den, static_cast<mpfr_ptr>(nullptr));
  mpc_sub(diff.get(), diff.get(), exact, MPC_RNDNN);
  mpc_abs(num, diff.get(), MPFR_RNDN);
  if (scale > 0) {
    mpfr_set_d(den, scale, MPFR_RNDN);
  } else {
    mpc_abs(den, exact, MPFR_RNDN);
  }
  double error;
  if (mpfr_zero_p(den)) {
    error = mpfr_zero_p(num) ? 0.0 : HUGE_VAL;
  } else {
    mpfr_div(num, num, den, MPFR_RNDN);
    error = mpfr_get_d(num, MPFR_RNDU);
  }
  mpfr_clears(num, den, static_cast<mpfr_ptr>(nullptr));
  return error;
}

void log_to_base(Value& result, const Value& x, const Value& b) {
  Value lb;
  mpc_log(result.get(), x.get(), MPC_RNDNN);
  mpc_log(lb.get(), b.get(), MPC_RNDNN);
  mpc_div(result.get(), result.get(), lb.get(), MPC_RNDNN);
}

}  // namespace cxfun::reference
