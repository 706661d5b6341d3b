// Text primitives of the error layer. Every position, length and capacity is
// an explicit argument; a routine touches only positions that its arguments
// prove to exist, so any argument values are safe to pass.
#include "errors/text.h"

#include <cstdint>
#include <functional>

namespace cxfun {

namespace {

constexpr char kBlank = ' ';

// Positions first to last of dst set to blanks. The positions are counted in
// 64 bits, so a range that ends at the largest int neither overflows nor loops.
void fill_blanks(char* dst, long long first, int last) {
  for (long long k = first; k <= last; ++k) dst[k - 1] = kBlank;
}

}  // namespace

void TXMOVE(const char* src, int sf, int sl, int sc, char* dst, int df, int dl, int dc,
            int& status) {
  // Range checks, in this order; a failing one writes nothing.
  if (dl < df || df <= 0 || sc < sl || sf <= 0 || sl < sf) {
    status = -2;
    return;
  }
  if (dc < dl) {
    status = -1;
    return;
  }
  // Both differences are of positive values, so neither can overflow.
  const int n = (dl - df < sl - sf ? dl - df : sl - sf) + 1;
  const char* from = src + (sf - 1);
  char* to = dst + (df - 1);
  // Ranges of one buffer may overlap: a move to a higher position copies from
  // the last character down, so no source character is overwritten before it
  // is read. Any other move copies upward.
  if (std::less<const char*>{}(from, to)) {
    for (int k = n - 1; k >= 0; --k) to[k] = from[k];
  } else {
    for (int k = 0; k < n; ++k) to[k] = from[k];
  }
  status = (sf - sl - 1) + n;  // 0, or minus the number of characters cut
  fill_blanks(dst, static_cast<long long>(df) + n, dl);
}

int TXFIND(const char* s, int ns, const char* k, int nk) {
  if (nk <= 0 || ns <= 0 || nk > ns) return 0;
  for (int i = 1; i <= ns - nk + 1; ++i) {
    int j = 0;
    while (j < nk && s[i - 1 + j] == k[j]) ++j;
    if (j == nk) return i;
  }
  return 0;
}

int TXVRFY(const char* a, int n, const char* b, int m) {
  if (n <= 0 || m <= 0) return 1;
  for (int i = 1; i <= n; ++i) {
    if (TXFIND(b, m, a + (i - 1), 1) == 0) return i;
  }
  return 0;
}

int TXCODE(const char* c) { return static_cast<unsigned char>(c[0]); }

int TXUPCD(const char* c) {
  const int code = TXCODE(c);
  return (code >= 97 && code <= 122) ? code - 32 : code;
}

void TXCHAR(char* result, int k) { result[0] = static_cast<char>(k < 0 ? 0 : (k & 0xFF)); }

int TXCMPI(const char* a, int na, const char* b, int nb) {
  if (na > 0 && nb > 0) {
    const int common = na < nb ? na : nb;
    for (int k = 0; k < common; ++k) {
      const int ca = TXUPCD(a + k);
      const int cb = TXUPCD(b + k);
      if (ca != cb) return ca < cb ? -1 : 1;
    }
  }
  if (na == nb) return 0;
  // An empty text sorts before any longer one, even one of blanks.
  if (na <= 0 || nb <= 0) return na < nb ? -1 : 1;
  // The shorter text counts as padded with blanks.
  if (na > nb) {
    for (int k = nb; k < na; ++k) {
      const int c = TXUPCD(a + k);
      if (c != kBlank) return c < kBlank ? -1 : 1;
    }
  } else {
    for (int k = na; k < nb; ++k) {
      const int c = TXUPCD(b + k);
      if (c != kBlank) return kBlank < c ? -1 : 1;
    }
  }
  return 0;
}

void TXIFMT(int value, char* dst, int width, int& status) {
  if (width <= 0) {
    status = -1;
    return;
  }
  if (value == 0) {
    fill_blanks(dst, 1, width - 1);
    dst[width - 1] = '0';
    status = 0;
    return;
  }
  // The magnitude is taken in 64 bits, so that -2147483648 formats like any
  // other value.
  std::int64_t m = value < 0 ? -static_cast<std::int64_t>(value) : value;
  int p = width;
  while (m > 0 && p > 0) {
    dst[p - 1] = static_cast<char>('0' + m % 10);
    m /= 10;
    --p;
  }
  if (m > 0) {
    // Too narrow: the field keeps the lowest digits; report what is left.
    int left = 0;
    for (; m > 0; m /= 10) ++left;
    status = left + (value < 0 ? 1 : 0);
    return;
  }
  if (value < 0) {
    if (p == 0) {  // the digits fill the field; no room for the sign
      status = 1;
      return;
    }
    dst[p - 1] = '-';
    --p;
  }
  fill_blanks(dst, 1, p);
  status = 0;
}

int TXFNDI(const char* s, int ns, const char* k, int nk) {
  if (nk <= 0 || ns <= 0 || nk > ns) return 0;
  const int first = TXUPCD(k);
  for (int i = 1; i <= ns - nk + 1; ++i) {
    if (TXUPCD(s + (i - 1)) != first) continue;
    if (nk == 1 || TXCMPI(s + i, nk - 1, k + 1, nk - 1) == 0) return i;
  }
  return 0;
}

}  // namespace cxfun
