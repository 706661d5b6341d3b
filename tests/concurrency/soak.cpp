// Soak: N calls of each of the ten exports (ten million by default) over
// random finite arguments, in two passes over the same arguments in one
// process. Checks that no result changes between the passes, that the heap
// and the resident set do not grow from the first pass to the second, and
// that the routine-name stack is back at the user level with no message
// waiting. The arguments avoid every documented end of the process: no NaN
// or infinity, moduli far below the largest double, nothing within 1e-6 of
// the arctangent's singular band around |z| = 1, positive bases.
//
//   cxfun_soak [calls per export]
#include <malloc.h>
#include <sys/resource.h>

#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "cxfun.h"
#include "errors/error_state.h"

namespace {

constexpr int kBlock = 4096;  // calls per checksum

// splitmix64: a fixed sequence, the same in both passes.
struct Random {
  std::uint64_t state;
  std::uint64_t next() {
    std::uint64_t z = (state += 0x9E3779B97F4A7C15ull);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
    return z ^ (z >> 31);
  }
  double uniform(double low, double high) {
    return low + (high - low) * static_cast<double>(next() >> 11) * 0x1p-53;
  }
};

// A finite double: small, moderate, or of any size from 2^-1000 to 2^1000.
double argument(Random& random) {
  switch (random.next() % 4) {
    case 0:
      return random.uniform(-0.2, 0.2);
    case 1:
      return random.uniform(-4.0, 4.0);
    case 2:
      return random.uniform(-1e6, 1e6);
    default: {
      const double sign = random.next() & 1 ? -1.0 : 1.0;
      const int exponent = static_cast<int>(random.next() % 2001) - 1000;
      return sign * std::ldexp(random.uniform(1.0, 2.0), exponent);
    }
  }
}

using Export4 = void (*)(const double*, const double*, double*, double*);

enum class Arguments { kComplex, kComplexAndBase, kRealAndBase };

struct Export {
  const char* name;
  Export4 function;  // null for cxfun_log, the one export with five arguments
  Arguments arguments;
  bool arctangent;
};

const Export kExports[] = {
    {"acos", cxfun_acos, Arguments::kComplex, false},
    {"acosh", cxfun_acosh, Arguments::kComplex, false},
    {"asin", cxfun_asin, Arguments::kComplex, false},
    {"asinh", cxfun_asinh, Arguments::kComplex, false},
    {"atan", cxfun_atan, Arguments::kComplex, true},
    {"atanh", cxfun_atanh, Arguments::kComplex, true},
    {"cdlog", cxfun_cdlog, Arguments::kRealAndBase, false},
    {"ln", cxfun_ln, Arguments::kComplex, false},
    {"log", nullptr, Arguments::kComplexAndBase, false},
    {"sqrt", cxfun_sqrt, Arguments::kComplex, false},
};

std::uint64_t mix(std::uint64_t h, double v) {
  std::uint64_t u;
  std::memcpy(&u, &v, sizeof u);
  return (h ^ u) * 0x100000001B3ull;
}

std::size_t block_count(long calls) {
  return 10 * static_cast<std::size_t>((calls + kBlock - 1) / kBlock);
}

// One pass over every export: one checksum per block of calls. The sums are
// allocated and written before the first pass, so neither pass allocates or
// touches new memory of its own.
void pass(long calls, std::vector<std::uint64_t>& sums) {
  std::size_t block = 0;
  for (const Export& e : kExports) {
    Random random{0x5EED0000ull + static_cast<std::uint64_t>(&e - kExports)};
    std::uint64_t h = 0xCBF29CE484222325ull;
    for (long k = 0; k < calls; ++k) {
      double a = argument(random);
      double b = argument(random);
      if (e.arctangent && std::fabs(std::hypot(a, b) - 1.0) < 1e-6) a *= 2.0;
      double base = std::fabs(argument(random));
      if (base == 0.0) base = 2.0;
      double re, im;
      switch (e.arguments) {
        case Arguments::kComplex:
          e.function(&a, &b, &re, &im);
          break;
        case Arguments::kRealAndBase:
          e.function(&a, &base, &re, &im);
          break;
        case Arguments::kComplexAndBase:
          cxfun_log(&a, &b, &base, &re, &im);
          break;
      }
      h = mix(mix(h, re), im);
      if ((k + 1) % kBlock == 0 || k + 1 == calls) {
        sums[block++] = h;
        h = 0xCBF29CE484222325ull;
      }
    }
  }
}

long max_resident_kib() {
  rusage usage{};
  getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

}  // namespace

int main(int argc, char** argv) {
  const long calls = argc > 1 ? std::atol(argv[1]) : 10000000L;
  if (calls <= 0) {
    std::fprintf(stderr, "usage: cxfun_soak [calls per export]\n");
    return 2;
  }
  int failed = 0;
  auto verdict = [&failed](bool ok, const char* what) {
    std::printf("%s: %s\n", ok ? "ok" : "FAILED", what);
    if (!ok) ++failed;
  };

  const auto start = std::chrono::steady_clock::now();
  std::vector<std::uint64_t> first(block_count(calls), 0), second(block_count(calls), 1);
  pass(calls, first);
  const std::size_t heap_after_first = mallinfo2().uordblks;
  const long resident_after_first = max_resident_kib();
  pass(calls, second);
  const std::size_t heap_after_second = mallinfo2().uordblks;
  const long resident_after_second = max_resident_kib();
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

  std::printf("%ld calls of each of 10 exports, twice, in %.1f s\n", calls, seconds);
  std::printf("heap in use %zu -> %zu bytes, max resident %ld -> %ld KiB\n", heap_after_first,
              heap_after_second, resident_after_first, resident_after_second);
  std::size_t differing = 0;
  for (std::size_t k = 0; k < first.size(); ++k) {
    if (first[k] != second[k]) ++differing;
  }
  verdict(differing == 0, "every block of results is the same in both passes");
  verdict(heap_after_second <= heap_after_first, "the heap does not grow");
  // A leak of a byte per call would add megabytes; a few pages of slack allow
  // for the run time's own lazily touched memory.
  verdict(resident_after_second - resident_after_first <= 64, "the resident set does not grow");
  const cxfun::ErrorState& s = cxfun::g_error_state;
  verdict(s.depth == 1 && s.message_length == 0 && s.param_end == 1,
          "the stack is back at the user level with nothing waiting");
  std::printf("%d passed, %d failed\n", 4 - failed, failed);
  return failed == 0 ? 0 : 1;
}
