// Machine constants looked up by index, and the table of standard unit numbers.
#ifndef CXFUN_MACHINE_MACHINE_H
#define CXFUN_MACHINE_MACHINE_H

namespace cxfun {

// Integer characteristics 1..12 (word size, integer range, significand and
// exponent ranges). Any other index writes a terminal-error message to the
// standard output unit and ends the process with status 0.
int IMACH(int n);

// 1 <= n <= 3: unit = entry n of the unit table (input 5, output 6, error
// output 6). -3 <= n <= -1: entry -n = unit. Any other n writes a
// terminal-error message to the error output unit and ends the process.
void UMACH(int n, int& unit);

// Double characteristics 1..8, stored as bit patterns: smallest normal,
// largest finite, 2^-53, 2^-52, log10(2), quiet NaN, +infinity, -infinity.
// Any other index is a terminal error reported through the error layer.
double DMACH(int n);

}  // namespace cxfun

#endif
