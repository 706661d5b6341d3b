// The larger and the smaller of two magnitudes, chosen without a branch.
// Moduli are formed from the parts' magnitudes in either order, and a branch
// on which is larger is mispredicted about every other call on mixed
// arguments; SSE2's max and min choose in one instruction each.
#ifndef CXFUN_RUNTIME_LARGER_SMALLER_H
#define CXFUN_RUNTIME_LARGER_SMALLER_H

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace cxfun {

struct LargerSmaller {
  double larger;   // a > b ? a : b
  double smaller;  // a > b ? b : a
};

// Exactly the two conditional expressions above, NaNs included: where the
// comparison fails (a NaN, or a <= b), larger is b and smaller is a.
inline LargerSmaller larger_smaller(double a, double b) {
#if defined(__SSE2__)
  // maxsd d, s gives d > s ? d : s and minsd d, s gives d < s ? d : s.
  const __m128d va = _mm_set_sd(a);
  const __m128d vb = _mm_set_sd(b);
  return {_mm_cvtsd_f64(_mm_max_sd(va, vb)), _mm_cvtsd_f64(_mm_min_sd(vb, va))};
#else
  return {a > b ? a : b, a > b ? b : a};
#endif
}

}  // namespace cxfun

#endif
