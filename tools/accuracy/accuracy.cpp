// cxfun_accuracy: the error of every export against MPC at 256 bits, next to
// the error of the C library's counterpart on the same inputs.
//
//   cxfun_accuracy [--samples N] [--csv FILE] [--grid-decades D] [--grid-steps K]
//
// For each export and region (tools/accuracy/samples.h) it prints the largest
// and the 99.9th-percentile normwise relative error in ulps, |w - e| / |e| /
// 2^-52, for both libraries, and the argument of the library's largest error.
// Arguments that end the process by design (a terminal error, a math error of
// the real functions) are left out and counted. With --csv it also writes the
// errors on a grid over the plane, x and y = +-10^u for u from -D to D in K
// steps per decade, for tools/plot_accuracy.py.
//
// The library's side runs in a child process, so that an argument that ends
// the process ends only the child: the child stores each result in shared
// memory and counts it; when it ends early, the argument after the last
// counted one is the one that ended it, and a new child goes on from the next.
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <new>
#include <string>
#include <vector>

#include "export_pairs.h"
#include "reference.h"
#include "samples.h"

namespace cxfun {
namespace {

using pairs::ExportPair;
using pairs::Shape;
using reference::Value;
using sampling::Region;

constexpr std::uint64_t kSeed = 20261211;
constexpr double kUlp = 0x1p-52;

// One call's inputs: z = (a, b), or the real x = a and the base b.
struct Input {
  double a;
  double b;
};

Complex call(const ExportPair& p, bool ours, const Input& in) {
  Complex w{0, 0};
  switch (p.shape) {
    case Shape::kComplex:
    case Shape::kRealPair:
      (ours ? p.ours : p.theirs)(&in.a, &in.b, &w.re, &w.im);
      break;
    case Shape::kComplexBase:
      (ours ? p.ours_base : p.theirs_base)(&in.a, &in.b, &pairs::kBase, &w.re, &w.im);
      break;
  }
  return w;
}

// The result of one call, or how the process ended instead.
struct Outcome {
  Complex w;
  int ended;  // -1: returned; otherwise the exit status (or 128 + signal)
};

// Shared memory: the count of results done, then the results.
constexpr std::size_t kResultsOffset = 64;

// Calls the library's side on every input in child processes (see the top).
std::vector<Outcome> evaluate_isolated(const ExportPair& p, const std::vector<Input>& inputs) {
  const std::size_t n = inputs.size();
  std::vector<Outcome> out(n, Outcome{{0, 0}, -1});
  const std::size_t bytes = kResultsOffset + n * sizeof(Complex);
  void* memory = mmap(nullptr, bytes, PROT_READ | PROT_WRITE, MAP_SHARED | MAP_ANONYMOUS, -1, 0);
  if (memory == MAP_FAILED) {
    std::perror("mmap");
    std::exit(1);
  }
  auto* done_count = new (memory) std::atomic<long>(0);
  auto* results = reinterpret_cast<Complex*>(static_cast<char*>(memory) + kResultsOffset);
  std::size_t start = 0;
  while (start < n) {
    done_count->store(static_cast<long>(start));
    std::fflush(nullptr);
    const pid_t child = fork();
    if (child < 0) {
      std::perror("fork");
      std::exit(1);
    }
    if (child == 0) {
      // The library's messages go nowhere; the results go to shared memory.
      const int null = open("/dev/null", O_WRONLY);
      dup2(null, 1);
      dup2(null, 2);
      for (std::size_t i = start; i < n; ++i) {
        results[i] = call(p, true, inputs[i]);
        done_count->store(static_cast<long>(i + 1), std::memory_order_release);
      }
      std::fflush(nullptr);
      _exit(0);
    }
    int status = 0;
    waitpid(child, &status, 0);
    const auto done = static_cast<std::size_t>(done_count->load(std::memory_order_acquire));
    for (std::size_t i = start; i < done; ++i) out[i].w = results[i];
    if (done < n) {
      out[done].ended = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
      start = done + 1;
    } else {
      start = n;
    }
  }
  munmap(memory, bytes);
  return out;
}

// The exact value of the pair's function at the input.
void exact_value(const ExportPair& p, const Input& in, Value& e) {
  const std::string name = p.name;
  if (p.shape == Shape::kRealPair) {
    const Value x(Complex{in.a, 0.0});
    const Value b(Complex{in.b, 0.0});
    reference::log_to_base(e, x, b);
    return;
  }
  const Value z(Complex{in.a, in.b});
  if (p.shape == Shape::kComplexBase) {
    const Value b(Complex{pairs::kBase, 0.0});
    reference::log_to_base(e, z, b);
  } else if (name == "asin") {
    mpc_asin(e.get(), z.get(), MPC_RNDNN);
  } else if (name == "acos") {
    mpc_acos(e.get(), z.get(), MPC_RNDNN);
  } else if (name == "atan") {
    mpc_atan(e.get(), z.get(), MPC_RNDNN);
  } else if (name == "asinh") {
    mpc_asinh(e.get(), z.get(), MPC_RNDNN);
  } else if (name == "acosh") {
    mpc_acosh(e.get(), z.get(), MPC_RNDNN);
  } else if (name == "atanh") {
    mpc_atanh(e.get(), z.get(), MPC_RNDNN);
  } else if (name == "sqrt") {
    mpc_sqrt(e.get(), z.get(), MPC_RNDNN);
  } else if (name == "ln") {
    mpc_log(e.get(), z.get(), MPC_RNDNN);
  } else {
    std::fprintf(stderr, "no reference for %s\n", p.name);
    std::exit(1);
  }
}

// Errors in ulps of both sides on the same inputs; NaN where the library's
// call ended the process.
struct Errors {
  std::vector<double> ours;
  std::vector<double> theirs;
  std::vector<int> ended;  // exit status per input, -1 where the call returned
};

Errors measure(const ExportPair& p, const std::vector<Input>& inputs) {
  const std::vector<Outcome> outcomes = evaluate_isolated(p, inputs);
  Errors e;
  Value exact;
  for (std::size_t i = 0; i < inputs.size(); ++i) {
    const Complex theirs = call(p, false, inputs[i]);
    exact_value(p, inputs[i], exact);
    e.theirs.push_back(reference::error_ratio(theirs, exact.get()) / kUlp);
    e.ended.push_back(outcomes[i].ended);
    e.ours.push_back(outcomes[i].ended >= 0
                         ? std::nan("")
                         : reference::error_ratio(outcomes[i].w, exact.get()) / kUlp);
  }
  return e;
}

struct Summary {
  double largest = 0;
  double p999 = 0;
  std::size_t at = 0;  // index of the largest
};

// Largest and 99.9th percentile of the errors that are not NaN. An infinite
// or NaN error of a returned call counts as the largest.
Summary summarise(const std::vector<double>& errors, const std::vector<int>& ended) {
  Summary s;
  std::vector<double> kept;
  for (std::size_t i = 0; i < errors.size(); ++i) {
    if (ended[i] >= 0) continue;
    const double v = std::isnan(errors[i]) ? HUGE_VAL : errors[i];
    if (kept.empty() || v > s.largest) {
      s.largest = v;
      s.at = i;
    }
    kept.push_back(v);
  }
  if (!kept.empty()) {
    const auto rank = static_cast<std::size_t>(std::ceil(0.999 * static_cast<double>(kept.size()))) - 1;
    std::nth_element(kept.begin(), kept.begin() + static_cast<long>(rank), kept.end());
    s.p999 = kept[rank];
  }
  return s;
}

std::vector<Input> region_inputs(const ExportPair& p, Region region, int count) {
  std::vector<Input> inputs;
  if (p.shape == Shape::kRealPair) {
    const std::vector<double> x = sampling::region_reals(region, count, kSeed);
    const std::vector<double> b = sampling::bases(count, kSeed);
    for (int i = 0; i < count; ++i) inputs.push_back({x[i], b[i]});
  } else {
    for (const Complex& z : sampling::region_sample(region, count, kSeed)) {
      inputs.push_back({z.re, z.im});
    }
  }
  return inputs;
}

std::string show_input(const ExportPair& p, const Input& in) {
  char text[96];
  if (p.shape == Shape::kRealPair) {
    std::snprintf(text, sizeof text, "x=%.17g b=%.17g", in.a, in.b);
  } else {
    std::snprintf(text, sizeof text, "(%.17g, %.17g)", in.a, in.b);
  }
  return text;
}

void print_table(int samples) {
  std::printf("Normwise relative error in ulps (|w - e| / |e| / 2^-52) against MPC at 256 bits,\n"
              "%d fixed-seed arguments per export and region.\n\n", samples);
  std::printf("%-6s %-12s %10s %10s %10s %10s %6s  %s\n", "export", "region", "max", "p99.9",
              "libc max", "libc p99.9", "ended", "argument of the library's max");
  for (const ExportPair& p : pairs::kExportPairs) {
    for (Region region : sampling::kRegions) {
      const std::vector<Input> inputs = region_inputs(p, region, samples);
      const Errors e = measure(p, inputs);
      const Summary ours = summarise(e.ours, e.ended);
      const std::vector<int> none(inputs.size(), -1);
      const Summary theirs = summarise(e.theirs, none);
      const auto ended = std::count_if(e.ended.begin(), e.ended.end(), [](int s) { return s >= 0; });
      std::printf("%-6s %-12s %10.3g %10.3g %10.3g %10.3g %6ld  %s\n", p.name,
                  sampling::region_name(region), ours.largest, ours.p999, theirs.largest,
                  theirs.p999, static_cast<long>(ended), show_input(p, inputs[ours.at]).c_str());
      std::fflush(stdout);
    }
  }
}

// x and y = +-10^u, u = -decades, ..., decades in `steps` per decade.
std::vector<double> grid_axis(int decades, int steps) {
  std::vector<double> axis;
  for (int k = decades * steps; k >= -decades * steps; --k) {
    axis.push_back(-std::pow(10.0, static_cast<double>(k) / steps));
  }
  for (int k = -decades * steps; k <= decades * steps; ++k) {
    axis.push_back(std::pow(10.0, static_cast<double>(k) / steps));
  }
  return axis;
}

void write_grid(const char* path, int decades, int steps) {
  std::FILE* f = std::fopen(path, "w");
  if (f == nullptr) {
    std::perror(path);
    std::exit(1);
  }
  std::fprintf(f, "export,re,im,ulps,libc_ulps,ended\n");
  const std::vector<double> axis = grid_axis(decades, steps);
  for (const ExportPair& p : pairs::kExportPairs) {
    if (p.shape == Shape::kRealPair) continue;  // two reals: no plane to map
    std::vector<Input> inputs;
    for (double y : axis) {
      for (double x : axis) inputs.push_back({x, y});
    }
    const Errors e = measure(p, inputs);
    for (std::size_t i = 0; i < inputs.size(); ++i) {
      std::fprintf(f, "%s,%.17g,%.17g,%.4g,%.4g,%d\n", p.name, inputs[i].a, inputs[i].b,
                   e.ours[i], e.theirs[i], e.ended[i]);
    }
    const auto ended = std::count_if(e.ended.begin(), e.ended.end(), [](int s) { return s >= 0; });
    std::fprintf(stderr, "grid: %s, %zu points, %ld left out (the call ends the process)\n", p.name,
                 inputs.size(), static_cast<long>(ended));
  }
  std::fclose(f);
}

int run(int argc, char** argv) {
  int samples = 4096;
  const char* csv = nullptr;
  int decades = 8;
  int steps = 10;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (arg == "--samples" && has_value) {
      samples = std::atoi(argv[++i]);
    } else if (arg == "--csv" && has_value) {
      csv = argv[++i];
    } else if (arg == "--grid-decades" && has_value) {
      decades = std::atoi(argv[++i]);
    } else if (arg == "--grid-steps" && has_value) {
      steps = std::atoi(argv[++i]);
    } else {
      std::fprintf(stderr,
                   "usage: %s [--samples N] [--csv FILE] [--grid-decades D] [--grid-steps K]\n",
                   argv[0]);
      return 2;
    }
  }
  if (samples < 1 || decades < 1 || steps < 1) {
    std::fprintf(stderr, "%s: counts must be positive\n", argv[0]);
    return 2;
  }
  print_table(samples);
  if (csv != nullptr) write_grid(csv, decades, steps);
  return 0;
}

}  // namespace
}  // namespace cxfun

int main(int argc, char** argv) { return cxfun::run(argc, argv); }
