// DMACH is a table like IMACH and UMACH, but unlike them it reports a bad
// index through the error layer (push, parameter, terminal message, pop), so
// this file is the one place in the machine layer that calls upward.
#include <bit>
#include <cstdint>

#include "errors/parameters.h"
#include "errors/routine_stack.h"
#include "machine/machine.h"

namespace cxfun {
namespace {

// Stored bit patterns, not values computed at run time.
constexpr std::uint64_t kDoubleTable[8] = {
    0x0010000000000000,  // 2^-1022, smallest positive normalised double
    0x7FEFFFFFFFFFFFFF,  // largest finite double
    0x3CA0000000000000,  // 2^-53, smallest relative spacing
    0x3CB0000000000000,  // 2^-52, largest relative spacing
    0x3FD34413509F79FF,  // log10(2), correctly rounded
    0x7FF8000000000000,  // quiet NaN: no value yet
    0x7FF0000000000000,  // +infinity
    0xFFF0000000000000,  // -infinity
};

}  // namespace

double DMACH(int n) {
  if (n >= 1 && n <= 8) return std::bit_cast<double>(kDoubleTable[n - 1]);
  // A bad index: push, hold the quiet NaN, record the terminal error; the pop
  // on the way out ends the process, so the NaN is never delivered.
  RoutineScope scope("DMACH ");
  const double result = std::bit_cast<double>(kDoubleTable[5]);
  ERPUTI(1, n);
  E1MES(kTerminal, 5, "The argument must be between 1 and 8 inclusive. N = %(I1)");
  return result;
}

}  // namespace cxfun
