// Text primitives on fixed-capacity buffers of 8-bit characters. Positions
// count from 1: a text argument points at its position 1. No routine looks
// for a terminator; every length, position and capacity is an explicit
// argument, and unused positions hold blanks.
#ifndef CXFUN_ERRORS_TEXT_H
#define CXFUN_ERRORS_TEXT_H

namespace cxfun {

// Copies src(sf:sl) into dst(df:dl), left-aligned, cutting the source or
// filling the rest of the destination range with blanks. status: 0, -1 or -2
// for a range error (nothing written), or minus the number of characters cut.
// The two ranges may overlap inside one buffer, in either direction.
void TXMOVE(const char* src, int sf, int sl, int sc, char* dst, int df, int dl, int dc,
            int& status);

// Position of the first occurrence of k(1:nk) in s(1:ns), case sensitive; 0 if none.
int TXFIND(const char* s, int ns, const char* k, int nk);

// Position of the first character of a(1:n) that is not in the set b(1:m);
// 0 if there is none, 1 if n or m is not positive.
int TXVRFY(const char* a, int n, const char* b, int m);

// Code 0..255 of the first character.
int TXCODE(const char* c);

// Code of the first character folded to upper case (ASCII letters only).
int TXUPCD(const char* c);

// result(1) = the character whose code is the low byte of k, or code 0 for k < 0.
void TXCHAR(char* result, int k);

// Case-insensitive comparison of blank-padded texts: -1, 0 or +1.
int TXCMPI(const char* a, int na, const char* b, int nb);

// Writes value right-justified into dst(1:width). status: 0, -1 for a width
// of 0 or less, or the number of characters that did not fit.
void TXIFMT(int value, char* dst, int width, int& status);

// Position of the first occurrence of k(1:nk) in s(1:ns) without regard to
// the case of ASCII letters; 0 if none.
int TXFNDI(const char* s, int ns, const char* k, int nk);

}  // namespace cxfun

#endif
