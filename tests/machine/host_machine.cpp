// Host for process-level tests of the machine constants. Runs the operations
// given on the command line in order and prints each query's answer:
//   imach N       prints IMACH(N)
//   umach N U     calls UMACH(N, u) with u = U and prints u afterwards
//   dmach N       prints the bits of DMACH(N)
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <bit>

#include "machine/machine.h"

int main(int argc, char** argv) {
  for (int i = 1; i < argc; ++i) {
    if (std::strcmp(argv[i], "imach") == 0 && i + 1 < argc) {
      std::printf("%d\n", cxfun::IMACH(std::atoi(argv[++i])));
    } else if (std::strcmp(argv[i], "umach") == 0 && i + 2 < argc) {
      const int n = std::atoi(argv[++i]);
      int unit = std::atoi(argv[++i]);
      cxfun::UMACH(n, unit);
      std::printf("%d\n", unit);
    } else if (std::strcmp(argv[i], "dmach") == 0 && i + 1 < argc) {
      const double v = cxfun::DMACH(std::atoi(argv[++i]));
      std::printf("%016" PRIX64 "\n", std::bit_cast<std::uint64_t>(v));
    } else {
      std::fprintf(stderr, "host_machine: bad operation '%s'\n", argv[i]);
      return 2;
    }
  }
  return 0;
}
