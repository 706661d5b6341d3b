// Host for process-level tests of the error layer. Runs the operations given
// on the command line in order; messages go wherever the error layer sends
// them (standard output unless redirected), the host's own lines go to
// standard output too, so the order of both is visible:
//   push NAME          E1PSH(NAME, length of NAME)
//   pop NAME           E1POP(NAME, length of NAME)
//   mes T C TEXT       E1MES(T, C, TEXT, length of TEXT)
//   erputi N V         ERPUTI(N, V)
//   erputz N RE IM     ERPUTZ(N, (RE, IM))
//   erputl N TEXT      ERPUTL(N, TEXT, length of TEXT)
//   erprnt             ERPRNT()
//   erpend             prints "erpend R" with R = ERPEND(0)
//   dmach N            prints the bits of DMACH(N)
//   umach N U          UMACH(N, u) with u = U
//   say TEXT           prints TEXT, to show how far the process got
//   state              prints the stack up to the level above the top, the
//                      pending flags and the waiting message length
#include <bit>
#include <cinttypes>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "errors/error_state.h"
#include "errors/parameters.h"
#include "errors/routine_stack.h"
#include "machine/machine.h"

namespace {

int length_of(const char* text) { return static_cast<int>(std::strlen(text)); }

void print_state() {
  const cxfun::ErrorState& s = cxfun::g_error_state;
  std::printf("depth=%d", s.depth);
  const int last = s.depth + 1 <= cxfun::kDepthLimit + 1 ? s.depth + 1 : cxfun::kDepthLimit + 1;
  for (int level = 1; level <= last; ++level) {
    int n = cxfun::kRoutineNameLength;
    while (n > 0 && s.routine_name[level][n - 1] == ' ') --n;
    std::printf(" [%.*s %d %d]", n, s.routine_name[level], s.level_type[level],
                s.level_code[level]);
  }
  std::printf(" pending=%d,%d message_length=%d param_end=%d\n", s.pending_warning,
              s.pending_fatal, s.message_length, s.param_end);
}

}  // namespace

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    const char* op = argv[i];
    const int left = argc - i - 1;
    if (std::strcmp(op, "push") == 0 && left >= 1) {
      const char* name = argv[++i];
      cxfun::E1PSH(name, length_of(name));
    } else if (std::strcmp(op, "pop") == 0 && left >= 1) {
      const char* name = argv[++i];
      cxfun::E1POP(name, length_of(name));
    } else if (std::strcmp(op, "mes") == 0 && left >= 3) {
      const int type = std::atoi(argv[++i]);
      const int code = std::atoi(argv[++i]);
      const char* text = argv[++i];
      cxfun::E1MES(type, code, text, length_of(text));
    } else if (std::strcmp(op, "erputi") == 0 && left >= 2) {
      const int index = std::atoi(argv[++i]);
      cxfun::ERPUTI(index, std::atoi(argv[++i]));
    } else if (std::strcmp(op, "erputz") == 0 && left >= 3) {
      const int index = std::atoi(argv[++i]);
      const double re = std::strtod(argv[++i], nullptr);
      const double im = std::strtod(argv[++i], nullptr);
      cxfun::ERPUTZ(index, cxfun::Complex{re, im});
    } else if (std::strcmp(op, "erputl") == 0 && left >= 2) {
      const int index = std::atoi(argv[++i]);
      const char* text = argv[++i];
      cxfun::ERPUTL(index, text, length_of(text));
    } else if (std::strcmp(op, "erprnt") == 0) {
      cxfun::ERPRNT();
    } else if (std::strcmp(op, "erpend") == 0) {
      std::printf("erpend %d\n", cxfun::ERPEND(0));
    } else if (std::strcmp(op, "dmach") == 0 && left >= 1) {
      const double v = cxfun::DMACH(std::atoi(argv[++i]));
      std::printf("%016" PRIX64 "\n", std::bit_cast<std::uint64_t>(v));
    } else if (std::strcmp(op, "umach") == 0 && left >= 2) {
      const int n = std::atoi(argv[++i]);
      int unit = std::atoi(argv[++i]);
      cxfun::UMACH(n, unit);
    } else if (std::strcmp(op, "say") == 0 && left >= 1) {
      std::printf("%s\n", argv[++i]);
    } else if (std::strcmp(op, "state") == 0) {
      print_state();
    } else {
      std::fprintf(stderr, "host_errors: bad operation '%s'\n", op);
      return 2;
    }
  }
  return 0;
}
