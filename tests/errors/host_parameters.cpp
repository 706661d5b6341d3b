// Host for the first-call behaviour of the parameter stores: runs one store
// operation in a fresh process and prints the state it leaves.
#include <cstdio>
#include <cstring>

#include "errors/error_state.h"
#include "errors/parameters.h"

int main(int argc, char** argv) {
  using namespace cxfun;
  if (argc != 2) return 2;
  if (std::strcmp(argv[1], "i") == 0) {
    ERPUTI(1, 5);
  } else if (std::strcmp(argv[1], "l") == 0) {
    ERPUTL(1, "ab", 2);
  } else if (std::strcmp(argv[1], "z") == 0) {
    ERPUTZ(1, Complex{1, 2});
  } else if (std::strcmp(argv[1], "refused") == 0) {
    ERPUTI(0, 5);
  }
  const ErrorState& s = g_error_state;
  std::printf("initialised=%d depth=%d user=%.4s param_end=%d store=%.*s\n", s.initialised ? 1 : 0,
              s.depth, s.routine_name[1], s.param_end, s.param_end > 1 ? s.param_end : 0,
              s.param_store);
  return 0;
}
