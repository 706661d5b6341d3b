#include <cstdio>

#include "machine/machine.h"
#include "runtime/termination.h"
#include "runtime/units.h"

namespace cxfun {
namespace {

constexpr int kIntegerTable[12] = {32, 4, 2, 31, 2147483647, 2, 24, -125, 128, 53, -1021, 1024};

// Unit table: standard input, standard output, error output.
int g_units[3] = {5, 6, 6};

void write_line(int unit, const char* text) {
  int length = 0;
  while (text[length] != '\0') ++length;
  write_record(unit, text, length);
}

// Appends n right-justified in six columns, or six asterisks when it needs
// more, then a period.
void write_numbered_line(int unit, const char* prefix, int n) {
  char field[16];
  int width = std::snprintf(field, sizeof field, "%6d", n);
  char line[96];
  std::snprintf(line, sizeof line, "%s%s.", prefix, width > 6 ? "******" : field);
  write_line(unit, line);
}

}  // namespace

int IMACH(int n) {
  if (n >= 1 && n <= 12) return kIntegerTable[n - 1];
  int unit = 0;
  UMACH(2, unit);
  write_record(unit, "", 0);
  write_line(unit, " *** TERMINAL ERROR 5 from IMACH.  The argument");
  write_line(unit, " ***          must be between 1 and 12 inclusive.");
  write_numbered_line(unit, " ***          N = ", n);
  write_record(unit, "", 0);
  stop_process();
}

void UMACH(int n, int& unit) {
  // The magnitude wraps like 32-bit integer arithmetic: |-2147483648| stays
  // negative and so is out of range too.
  const int magnitude = n < 0 ? static_cast<int>(0u - static_cast<unsigned>(n)) : n;
  if (magnitude >= 1 && magnitude <= 3) {
    if (n > 0) {
      unit = g_units[n - 1];
    } else {
      g_units[magnitude - 1] = unit;
    }
    return;
  }
  const int error_unit = g_units[2];
  write_record(error_unit, "", 0);
  write_line(error_unit, " *** TERMINAL ERROR 5 from UMACH.  The absolute");
  write_line(error_unit, " ***          value of the index variable must be");
  write_numbered_line(error_unit, " ***          1, 2, or 3.  IABS(N) = ", magnitude);
  write_record(error_unit, "", 0);
  stop_process();
}

}  // namespace cxfun
