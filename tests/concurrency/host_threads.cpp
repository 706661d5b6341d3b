// Host for the concurrency tests: one case per process, so that the first
// calls it makes really are the first in the process. Each case prints one
// line per result it computed ("name re im" as bit patterns) in a fixed order,
// so that the test can compare a run with threads against a run without.
//
//   host_threads direct           four threads run the direct exports at once
//   host_threads first EXPORT     four threads make the first calls of EXPORT
//   host_threads single EXPORT    the same calls from one thread
//   host_threads first-errors     four threads make the first parameter stores
//   host_threads serialised       inverse calls under a mutex, direct calls beside them
//
// The "first" cases order the calls with a spin lock of relaxed atomic
// operations. It keeps the calls from overlapping in time, as the contract of
// the inverse exports demands, but gives ThreadSanitizer no happens-before
// relation between the threads: every piece of shared state that is not
// synchronised by the library itself is reported. The error state relies on
// the host's serialisation by contract, so the test suppresses reports on it;
// the first-call caches must synchronise themselves and are not suppressed.
#include <array>
#include <atomic>
#include <cinttypes>
#include <cstdio>
#include <cstring>
#include <latch>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "cxfun.h"
#include "errors/error_state.h"
#include "errors/parameters.h"

namespace {

constexpr int kThreads = 4;

using Export = void (*)(const double*, const double*, double*, double*);

struct Named {
  const char* name;
  Export function;
};

constexpr Named kInverse[] = {
    {"asin", cxfun_asin},   {"acos", cxfun_acos},   {"atan", cxfun_atan},
    {"asinh", cxfun_asinh}, {"acosh", cxfun_acosh}, {"atanh", cxfun_atanh},
};

// Arguments reaching every method: the copied tiny argument, the series, the
// closed formulas, the huge-argument limit.
constexpr double kArguments[][2] = {
    {1e-9, 1e-9}, {0.05, -0.03}, {0.3, 0.4}, {2.0, -1.0}, {-30.0, 40.0}, {1e17, 3.0},
};
constexpr int kArgumentCount = sizeof kArguments / sizeof kArguments[0];

struct Result {
  double re = 0.0;
  double im = 0.0;
};

std::uint64_t bits(double v) {
  std::uint64_t u;
  std::memcpy(&u, &v, sizeof u);
  return u;
}

void print(const char* name, const Result& r) {
  std::printf("%s %016" PRIx64 " %016" PRIx64 "\n", name, bits(r.re), bits(r.im));
}

// Mutual exclusion without any happens-before edge that ThreadSanitizer
// would see: relaxed exchange and store. The signal fences keep the compiler
// from moving the library's accesses out of the locked stretch.
class RelaxedSpinLock {
 public:
  void lock() {
    while (locked_.exchange(true, std::memory_order_relaxed)) std::this_thread::yield();
    std::atomic_signal_fence(std::memory_order_seq_cst);
  }
  void unlock() {
    std::atomic_signal_fence(std::memory_order_seq_cst);
    locked_.store(false, std::memory_order_relaxed);
  }

 private:
  std::atomic<bool> locked_{false};
};

// Runs body(thread) in kThreads threads released together.
template <class Body>
void in_threads(Body body) {
  std::latch start(kThreads);
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t) {
    threads.emplace_back([&, t] {
      start.arrive_and_wait();
      body(t);
    });
  }
  for (std::thread& thread : threads) thread.join();
}

const Named* find_inverse(const char* name) {
  for (const Named& e : kInverse) {
    if (std::strcmp(e.name, name) == 0) return &e;
  }
  return nullptr;
}

// Thread t makes the calls with arguments t, t + kThreads, ...; the results
// are printed in argument order, whichever thread computed them.
int first_calls(const Named& e, bool threaded) {
  std::array<Result, kArgumentCount> results;
  RelaxedSpinLock lock;
  auto calls = [&](int t) {
    for (int k = t; k < kArgumentCount; k += kThreads) {
      lock.lock();
      e.function(&kArguments[k][0], &kArguments[k][1], &results[k].re, &results[k].im);
      lock.unlock();
    }
  };
  if (threaded) {
    in_threads(calls);
  } else {
    for (int t = 0; t < kThreads; ++t) calls(t);
  }
  for (const Result& r : results) print(e.name, r);
  return 0;
}

// The parameter stores set up the error state on their own first call.
int first_parameter_stores() {
  RelaxedSpinLock lock;
  in_threads([&](int t) {
    lock.lock();
    switch (t) {
      case 0:
        cxfun::ERPUTI(1, 50);
        break;
      case 1:
        cxfun::ERPUTL(2, "ZASIN ", 6);
        break;
      case 2:
        cxfun::ERPUTZ(3, {1.5, -2.0});
        break;
      default:
        cxfun::ERINIT();
        break;
    }
    lock.unlock();
  });
  std::printf("stored\n");
  return 0;
}

// Direct exports: many calls in every thread at once, no lock at all. The
// results are compared with those of the same calls made before the threads
// start.
int direct() {
  constexpr int kCalls = 2000;
  std::vector<std::array<double, 3>> inputs(kCalls);
  for (int k = 0; k < kCalls; ++k) {
    inputs[k] = {(k % 97) * 0.37 - 18.0, (k % 53) * -0.91 + 24.0, 0.5 + (k % 7)};
  }
  auto compute = [&](int k, std::array<Result, 4>& r) {
    const double* in = inputs[k].data();
    cxfun_sqrt(&in[0], &in[1], &r[0].re, &r[0].im);
    cxfun_ln(&in[0], &in[1], &r[1].re, &r[1].im);
    cxfun_log(&in[0], &in[1], &in[2], &r[2].re, &r[2].im);
    cxfun_cdlog(&in[0], &in[2], &r[3].re, &r[3].im);
  };
  std::vector<std::array<Result, 4>> expected(kCalls);
  for (int k = 0; k < kCalls; ++k) compute(k, expected[k]);

  std::atomic<int> mismatches{0};
  in_threads([&](int t) {
    for (int n = 0; n < kCalls; ++n) {
      const int k = (n * 7 + t * 13) % kCalls;  // each thread in its own order
      std::array<Result, 4> r;
      compute(k, r);
      if (std::memcmp(&r, &expected[k], sizeof r) != 0) mismatches.fetch_add(1);
    }
  });
  std::printf("direct mismatches %d\n", mismatches.load());
  return mismatches.load() == 0 ? 0 : 1;
}

// The documented way to use the inverse exports from several threads: every
// call under one mutex. Direct calls run beside them without the lock.
int serialised() {
  std::mutex mutex;
  std::array<std::array<Result, kArgumentCount>, 6> results;
  std::atomic<int> direct_mismatches{0};
  const double a = 3.0, b = -4.0;
  Result direct_expected;
  cxfun_sqrt(&a, &b, &direct_expected.re, &direct_expected.im);
  in_threads([&](int t) {
    for (int round = 0; round < 50; ++round) {
      for (int e = t; e < 6; e += kThreads) {
        for (int k = 0; k < kArgumentCount; ++k) {
          std::lock_guard<std::mutex> guard(mutex);
          kInverse[e].function(&kArguments[k][0], &kArguments[k][1], &results[e][k].re,
                               &results[e][k].im);
        }
      }
      Result r;
      cxfun_sqrt(&a, &b, &r.re, &r.im);
      if (std::memcmp(&r, &direct_expected, sizeof r) != 0) direct_mismatches.fetch_add(1);
    }
  });
  for (int e = 0; e < 6; ++e) {
    for (const Result& r : results[e]) print(kInverse[e].name, r);
  }
  std::printf("direct mismatches %d\n", direct_mismatches.load());
  return direct_mismatches.load() == 0 ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string mode = argc > 1 ? argv[1] : "";
  if (mode == "direct") return direct();
  if (mode == "first-errors") return first_parameter_stores();
  if (mode == "serialised") return serialised();
  if ((mode == "first" || mode == "single") && argc > 2) {
    if (const Named* e = find_inverse(argv[2])) return first_calls(*e, mode == "first");
  }
  std::fprintf(stderr,
               "usage: host_threads direct|first-errors|serialised|first EXPORT|single EXPORT\n");
  return 2;
}
