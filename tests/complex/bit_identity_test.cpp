// Every export's results on a fixed sample, bit for bit (signs of zeros and
// NaN payloads included), against the table recorded from the library before
// its speed work. Any change of a result, in any build type, fails here.
#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>

#include "bit_identity_cases.h"

namespace cxfun::bit_identity {
namespace {

struct Row {
  const char* name;
  std::uint64_t a, b, base, re, im;
};

constexpr Row kTable[] = {
#include "bit_identity_table.inc"
};

std::string show(std::uint64_t bits) {
  char text[48];
  std::snprintf(text, sizeof text, "%.17g [%016llx]", std::bit_cast<double>(bits),
                static_cast<unsigned long long>(bits));
  return text;
}

const Export* find_export(const char* name) {
  for (const Export& e : kExports) {
    if (std::strcmp(e.name, name) == 0) return &e;
  }
  return nullptr;
}

TEST(BitIdentityTest, EveryExportMatchesTheRecordedTable) {
  std::map<std::string, int> rows_per_export;
  for (const Row& row : kTable) {
    const Export* e = find_export(row.name);
    ASSERT_NE(e, nullptr) << row.name;
    Call c{std::bit_cast<double>(row.a), std::bit_cast<double>(row.b),
           std::bit_cast<double>(row.base), 0, 0};
    evaluate(*e, c);
    const std::uint64_t re = std::bit_cast<std::uint64_t>(c.re);
    const std::uint64_t im = std::bit_cast<std::uint64_t>(c.im);
    EXPECT_TRUE(re == row.re && im == row.im)
        << "cxfun_" << row.name << "(" << show(row.a) << ", " << show(row.b)
        << ", base " << show(row.base) << ")\n  got      " << show(re) << ", " << show(im)
        << "\n  recorded " << show(row.re) << ", " << show(row.im);
    ++rows_per_export[row.name];
  }
  // The table covers every export with the arguments the cases name.
  for (const Export& e : kExports) {
    EXPECT_EQ(rows_per_export[e.name], static_cast<int>(arguments(e).size())) << e.name;
  }
}

}  // namespace
}  // namespace cxfun::bit_identity
