// cxfun_bench: every export against its C library counterpart, on the same
// fixed-seed inputs, through the same call shape (four or five addresses of
// doubles, called through a pointer).
//
//   cxfun_bench [--benchmark_repetitions=5] [--benchmark_enable_random_interleaving=true]
//               [other Google Benchmark flags]
//
// Each benchmark runs one call per iteration, cycling through 4096 inputs of
// one region (tools/accuracy/samples.h): the series region (modulus up to
// 0.1), moduli 0.1 to 100 in all quadrants, and large moduli. None of the
// inputs ends the process. After the run it prints a table: export, region,
// ns per call for the library and for the C library (medians when repeated),
// and their ratio; then the time of the formulas' own operations alone and of
// one push and pop of the routine-name stack. Before the run it counts the
// heap allocations of every export in a first and a second pass over its
// inputs.
#include <benchmark/benchmark.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "errors/routine_stack.h"
#include "export_pairs.h"
#include "samples.h"

// Heap allocations, counted for the whole process: every operator new of
// the C++ library and every malloc, calloc and realloc reach one of these.
namespace {
std::atomic<long> g_allocations{0};
}  // namespace

extern "C" {
void* __libc_malloc(std::size_t);
void* __libc_calloc(std::size_t, std::size_t);
void* __libc_realloc(void*, std::size_t);

void* malloc(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_malloc(size);
}
void* calloc(std::size_t count, std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_calloc(count, size);
}
void* realloc(void* p, std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  return __libc_realloc(p, size);
}
}

namespace cxfun {
namespace {

using pairs::ExportPair;
using pairs::Shape;
using sampling::Region;

constexpr int kInputs = 4096;  // per region; a power of two for the index mask
constexpr std::uint64_t kSeed = 20261212;
constexpr Region kBenchRegions[] = {Region::kSeries, Region::kMiddle, Region::kLarge};

struct Inputs {
  std::vector<double> a;
  std::vector<double> b;
};

Inputs region_inputs(const ExportPair& p, Region region) {
  Inputs in;
  if (p.shape == Shape::kRealPair) {
    in.a = sampling::region_reals(region, kInputs, kSeed);
    in.b = sampling::bases(kInputs, kSeed);
  } else {
    for (const Complex& z : sampling::region_sample(region, kInputs, kSeed)) {
      in.a.push_back(z.re);
      in.b.push_back(z.im);
    }
  }
  return in;
}

// One call per iteration through the pointer, as a host makes it.
void run_complex(benchmark::State& state, pairs::ComplexFn fn, const Inputs& in) {
  benchmark::DoNotOptimize(fn);
  double re = 0;
  double im = 0;
  std::size_t i = 0;
  for (auto _ : state) {
    fn(&in.a[i], &in.b[i], &re, &im);
    benchmark::DoNotOptimize(re);
    benchmark::DoNotOptimize(im);
    i = (i + 1) & (kInputs - 1);
  }
}

void run_base(benchmark::State& state, pairs::BaseFn fn, const Inputs& in) {
  benchmark::DoNotOptimize(fn);
  double re = 0;
  double im = 0;
  std::size_t i = 0;
  for (auto _ : state) {
    fn(&in.a[i], &in.b[i], &pairs::kBase, &re, &im);
    benchmark::DoNotOptimize(re);
    benchmark::DoNotOptimize(im);
    i = (i + 1) & (kInputs - 1);
  }
}

// Calls every input of every region once and returns the number of heap
// allocations made meanwhile.
long allocations_per_pass(const ExportPair& p, const std::vector<Inputs>& regions,
                          bool ours) {
  const long before = g_allocations.load();
  double re = 0;
  double im = 0;
  for (const Inputs& in : regions) {
    for (int i = 0; i < kInputs; ++i) {
      if (p.shape == Shape::kComplexBase) {
        (ours ? p.ours_base : p.theirs_base)(&in.a[i], &in.b[i], &pairs::kBase, &re, &im);
      } else {
        (ours ? p.ours : p.theirs)(&in.a[i], &in.b[i], &re, &im);
      }
      benchmark::DoNotOptimize(re);
    }
  }
  return g_allocations.load() - before;
}

// Counts the allocations of a first pass over all inputs (it holds the first
// call, which may fill caches) and of a second pass.
void report_allocations(const std::vector<std::vector<Inputs>>& inputs) {
  // The count must see an allocation that is known to happen.
  const long probe = g_allocations.load();
  benchmark::DoNotOptimize(std::vector<double>(3).data());
  if (g_allocations.load() == probe) {
    std::fprintf(stderr, "cxfun_bench: the allocation count sees no allocation\n");
    std::exit(1);
  }
  std::printf("Heap allocations in a first and a second pass of %d calls per export:\n",
              kInputs * static_cast<int>(std::size(kBenchRegions)));
  int k = 0;
  for (const ExportPair& p : pairs::kExportPairs) {
    const std::vector<Inputs>& regions = inputs[static_cast<std::size_t>(k++)];
    const long ours_first = allocations_per_pass(p, regions, true);
    const long ours = allocations_per_pass(p, regions, true);
    const long theirs_first = allocations_per_pass(p, regions, false);
    const long theirs = allocations_per_pass(p, regions, false);
    std::printf("  cxfun_%-6s %ld, %ld    %-9s %ld, %ld\n", p.name, ours_first, ours,
                p.libc_name, theirs_first, theirs);
  }
  std::printf("\n");
}

// The routine-name stack's protocol on its own: one push and one pop of a
// six-character name with no error recorded, as every numerical routine
// does on entry and exit.
[[gnu::noinline]] void scoped_routine() {
  RoutineScope scope("ZASIN ");
  benchmark::ClobberMemory();
}

void BM_push_pop(benchmark::State& state) {
  for (auto _ : state) scoped_routine();
}

// The formulas' own operations alone, without the routine-name stack, the
// checks of the real functions, the wide-range modulus or the calls between
// routines: a lower bound for what the library's method can cost on these
// inputs. Written out here, operation for operation as in the routines.
namespace floor {

// One pass of the arcsine series, S = W K S / (K + 1) + 1/K.
[[gnu::always_inline]] inline void asin_pass(double w_re, double w_im, double& s_re,
                                             double& s_im, double k) {
  const double p = k * s_re;
  const double q = k * s_im;
  const double h_re = w_re * p - w_im * q;
  const double h_im = w_re * q + w_im * p;
  s_re = h_re / (k + 1.0) + 1.0 / k;
  s_im = h_im / (k + 1.0);
}

// The arcsine series: N = 16 passes with K = 31, 29, ..., 1 known when
// compiled, as the library runs them.
template <int... Pass>
void asin_passes(double w_re, double w_im, double& s_re, double& s_im,
                 std::integer_sequence<int, Pass...>) {
  (asin_pass(w_re, w_im, s_re, s_im, static_cast<double>(2 * (16 - Pass) - 1)), ...);
}

void asin_series(const double* a, const double* b, double* re, double* im) {
  const double x = *a;
  const double y = *b;
  const double w_re = x * x - y * y;
  const double w_im = x * y + y * x;
  double s_re = 0.0;
  double s_im = 0.0;
  asin_passes(w_re, w_im, s_re, s_im, std::make_integer_sequence<int, 16>{});
  *re = x * s_re - y * s_im;
  *im = x * s_im + y * s_re;
}

double modulus(double x, double y) {
  const double a = std::fabs(x);
  const double b = std::fabs(y);
  const double big = a > b ? a : b;
  const double q = (a > b ? b : a) / big;
  return big * std::sqrt(1.0 + q * q);
}

void root(double x, double y, double& re, double& im) {
  const double r = std::sqrt(x * x + y * y);
  const double s = std::sqrt((std::fabs(x) + r) * 0.5);
  const double t = y / (s * 2.0);
  if (x >= 0.0) {
    re = s;
    im = t;
  } else {
    re = std::fabs(t);
    im = y >= 0.0 ? s : -s;
  }
}

// The logarithmic method for z' in the first quadrant: two square roots, a
// logarithm and an arctangent (the library forms no modulus to choose it
// there). On large moduli the squares here overflow beyond 1e154, where the
// library scales them; the time is still a lower bound.
void asin_logarithmic(const double* a, const double* b, double* re, double* im) {
  const double x = std::fabs(*a);
  const double y = std::fabs(*b);
  double u_re, u_im, v_re, v_im;
  root(x + 1.0, y + 0.0, u_re, u_im);
  root(x - 1.0, y - 0.0, v_re, v_im);
  const double g_re = (v_re * u_re - v_im * u_im) + x;
  const double g_im = (v_re * u_im + v_im * u_re) + y;
  *re = 1.5707963267948966 - (0.0 * 0.0 - 1.0 * std::atan2(g_im, g_re));
  *im = -std::log(std::sqrt(g_re * g_re + g_im * g_im));
}

// The arctangent series: N = 16 passes of S = 1/d - W S.
void atan_series(const double* a, const double* b, double* re, double* im) {
  const double x = *a;
  const double y = *b;
  const double w_re = x * x - y * y;
  const double w_im = x * y + y * x;
  double s_re = 0.0;
  double s_im = 0.0;
  double d = 31.0;
  for (int pass = 0; pass < 16; ++pass) {
    const double next_re = 1.0 / d - (w_re * s_re - w_im * s_im);
    const double next_im = -(w_re * s_im + w_im * s_re);
    s_re = next_re;
    s_im = next_im;
    d = d - 2.0;
  }
  *re = x * s_re - y * s_im;
  *im = x * s_im + y * s_re;
}

// The arctangent's closed formula: a modulus, an arctangent, a logarithm.
void atan_closed(const double* a, const double* b, double* re, double* im) {
  const double x = *a;
  const double y = *b;
  const double r = modulus(x, y);
  const double r2 = r * r;
  *re = 0.5 * std::atan2(x * 2.0, 1.0 - r2);
  *im = 0.25 * std::log(((r2 + y * 2.0) + 1.0) / ((r2 - y * 2.0) + 1.0));
}

// ln z divided by the base's logarithm with a 64-bit significand, the
// base's logarithm known (the library keeps the last base's): the
// logarithm, the arctangent and two extended divisions.
void log_base(const double* a, const double* b, const double* base, double* re, double* im) {
  static const double known_base = *base;
  static const long double d = std::log(static_cast<long double>(known_base));
  const double l_re = std::log(modulus(*a, *b));
  const double l_im = std::atan2(*b, *a);
  *re = static_cast<double>(l_re / d);
  *im = static_cast<double>(l_im / d);
}

}  // namespace floor

// Collects the results while the console reporter shows them, and prints
// the side-by-side table at the end.
class TableReporter : public benchmark::ConsoleReporter {
 public:
  void ReportRuns(const std::vector<Run>& runs) override {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
      const bool aggregate = run.run_type == Run::RT_Aggregate;
      if (aggregate && run.aggregate_name != "median") continue;
      const std::string name = run.run_name.function_name;
      // A median replaces the single runs of the same benchmark.
      if (aggregate || medians_.count(name) == 0) {
        ns_[name] = run.GetAdjustedRealTime();
        if (aggregate) medians_[name] = true;
      }
    }
  }

  void Finalize() override {
    ConsoleReporter::Finalize();
    std::printf("\n%-7s %-8s %12s %12s %8s\n", "export", "region", "cxfun ns", "libc ns",
                "ratio");
    for (const ExportPair& p : pairs::kExportPairs) {
      for (Region region : kBenchRegions) {
        const std::string key = std::string(p.name) + "/" + sampling::region_name(region);
        const auto ours = ns_.find("cxfun_" + key);
        const auto theirs = ns_.find("libc_" + key);
        if (ours == ns_.end() || theirs == ns_.end()) continue;
        std::printf("%-7s %-8s %12.1f %12.1f %8.2f\n", p.name, sampling::region_name(region),
                    ours->second, theirs->second, ours->second / theirs->second);
      }
    }
    std::printf("\nthe formulas' own operations alone (no stack, no checks):\n");
    for (const auto& [name, ns] : ns_) {
      if (name.rfind("floor_", 0) == 0) std::printf("  %-20s %8.1f ns\n", name.c_str() + 6, ns);
    }
    const auto push_pop = ns_.find("push_pop");
    if (push_pop != ns_.end()) {
      std::printf("\none push and pop of the routine-name stack: %.2f ns\n", push_pop->second);
    }
    std::fflush(stdout);
  }

 private:
  std::map<std::string, double> ns_;
  std::map<std::string, bool> medians_;
};

int run(int argc, char** argv) {
  std::vector<std::vector<Inputs>> inputs;
  for (const ExportPair& p : pairs::kExportPairs) {
    std::vector<Inputs> regions;
    for (Region region : kBenchRegions) regions.push_back(region_inputs(p, region));
    inputs.push_back(std::move(regions));
  }

  report_allocations(inputs);

  for (std::size_t k = 0; k < std::size(pairs::kExportPairs); ++k) {
    const ExportPair& p = pairs::kExportPairs[k];
    for (std::size_t r = 0; r < std::size(kBenchRegions); ++r) {
      const Inputs* in = &inputs[k][r];
      const std::string key = std::string(p.name) + "/" + sampling::region_name(kBenchRegions[r]);
      if (p.shape == Shape::kComplexBase) {
        benchmark::RegisterBenchmark(("cxfun_" + key).c_str(),
                                     [&p, in](benchmark::State& s) { run_base(s, p.ours_base, *in); });
        benchmark::RegisterBenchmark(("libc_" + key).c_str(), [&p, in](benchmark::State& s) {
          run_base(s, p.theirs_base, *in);
        });
      } else {
        benchmark::RegisterBenchmark(("cxfun_" + key).c_str(),
                                     [&p, in](benchmark::State& s) { run_complex(s, p.ours, *in); });
        benchmark::RegisterBenchmark(("libc_" + key).c_str(), [&p, in](benchmark::State& s) {
          run_complex(s, p.theirs, *in);
        });
      }
    }
  }
  benchmark::RegisterBenchmark("push_pop", BM_push_pop);
  // The formulas alone, on the inputs of the regions where the library uses them.
  const auto index_of = [](const char* name) {
    std::size_t k = 0;
    while (std::string(pairs::kExportPairs[k].name) != name) ++k;
    return k;
  };
  struct Floor {
    const char* name;
    pairs::ComplexFn fn;
    const Inputs* in;
  };
  static const Floor floors[] = {
      {"floor_asin/series", floor::asin_series, &inputs[index_of("asin")][0]},
      {"floor_asin/0.1-100", floor::asin_logarithmic, &inputs[index_of("asin")][1]},
      {"floor_asin/large", floor::asin_logarithmic, &inputs[index_of("asin")][2]},
      {"floor_atan/series", floor::atan_series, &inputs[index_of("atan")][0]},
      {"floor_atan/0.1-100", floor::atan_closed, &inputs[index_of("atan")][1]},
  };
  for (const Floor& f : floors) {
    benchmark::RegisterBenchmark(f.name, [&f](benchmark::State& s) { run_complex(s, f.fn, *f.in); });
  }
  const Inputs* log_middle = &inputs[index_of("log")][1];
  benchmark::RegisterBenchmark("floor_log/0.1-100", [log_middle](benchmark::State& s) {
    run_base(s, floor::log_base, *log_middle);
  });

  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  TableReporter reporter;
  benchmark::RunSpecifiedBenchmarks(&reporter);
  benchmark::Shutdown();
  return 0;
}

}  // namespace
}  // namespace cxfun

int main(int argc, char** argv) { return cxfun::run(argc, argv); }
