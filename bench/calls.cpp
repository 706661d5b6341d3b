// cxfun_calls: calls one export (or its C library counterpart) on the
// benchmark's inputs of one region, for instruction counts that do not move
// between runs:
//
//   valgrind --tool=callgrind ./cxfun_calls asin 0.1-100 [calls] [libc]
//
// Divide the export's inclusive count by the number of calls. The inputs are
// the benchmark's (same seed, same regions); the base of log is 10.
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include "export_pairs.h"
#include "samples.h"

int main(int argc, char** argv) {
  using namespace cxfun;
  if (argc < 3) {
    std::fprintf(stderr, "usage: cxfun_calls export region [calls] [libc]\n");
    return 2;
  }
  const pairs::ExportPair* p = nullptr;
  for (const pairs::ExportPair& q : pairs::kExportPairs) {
    if (std::strcmp(q.name, argv[1]) == 0) p = &q;
  }
  const sampling::Region regions[] = {sampling::Region::kSeries, sampling::Region::kMiddle,
                                      sampling::Region::kLarge};
  const sampling::Region* region = nullptr;
  for (const sampling::Region& r : regions) {
    if (std::strcmp(sampling::region_name(r), argv[2]) == 0) region = &r;
  }
  if (p == nullptr || region == nullptr) {
    std::fprintf(stderr, "cxfun_calls: unknown export or region\n");
    return 2;
  }
  const int calls = argc > 3 ? std::atoi(argv[3]) : 4096;
  const bool libc = argc > 4 && std::strcmp(argv[4], "libc") == 0;

  constexpr int kInputs = 4096;
  constexpr std::uint64_t kSeed = 20261212;  // the benchmark's
  std::vector<double> a;
  std::vector<double> b;
  if (p->shape == pairs::Shape::kRealPair) {
    a = sampling::region_reals(*region, kInputs, kSeed);
    b = sampling::bases(kInputs, kSeed);
  } else {
    for (const Complex& z : sampling::region_sample(*region, kInputs, kSeed)) {
      a.push_back(z.re);
      b.push_back(z.im);
    }
  }
  double re = 0;
  double im = 0;
  double sum = 0;
  for (int i = 0; i < calls; ++i) {
    const int k = i % kInputs;
    if (p->shape == pairs::Shape::kComplexBase) {
      (libc ? p->theirs_base : p->ours_base)(&a[k], &b[k], &pairs::kBase, &re, &im);
    } else {
      (libc ? p->theirs : p->ours)(&a[k], &b[k], &re, &im);
    }
    sum += re + im;
  }
  std::printf("%s %s %d calls: checksum %.17g\n", p->name, sampling::region_name(*region), calls,
              sum);
  return 0;
}
