// Message parameters: values stored under a kind letter and an index 1..9,
// and the composition that turns a message text with placeholders such as
// "%(I1)" or "%(Z1)" into the recorded message.
#ifndef CXFUN_ERRORS_PARAMETERS_H
#define CXFUN_ERRORS_PARAMETERS_H

#include "machine/complex_value.h"

namespace cxfun {

// Appends one entry for kind and index with text(1:length) to the store.
// Does nothing when the index is 0 or beyond 9 in magnitude, or when the
// entry would not fit.
void ERPUT(const char* kind, int index, int length, const char* text);

// Stores value in decimal as parameter I<index>.
void ERPUTI(int index, int value);

// Stores text(1:length) (at most 255 characters) as parameter L<|index|>;
// a negative index keeps the trailing blanks.
void ERPUTL(int index, const char* text, int length);

// Stores z as "(re,im)", each part with 16 significant digits, as Z<index>.
void ERPUTZ(int index, const Complex& z);

// Reads an optionally signed decimal integer at the start of s(1:n).
void TXRDIN(const char* s, int n, int& value, int& status);

// Composes msg(1:length) into the recorded message: ".  " first, then the
// text with every placeholder that has a stored value replaced by it.
void compose_message(const char* msg, int length);

}  // namespace cxfun

#endif
