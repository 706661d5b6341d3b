#include "runtime/units.h"

#include <cstdio>

namespace cxfun {
namespace {

constexpr int kStandardOutput = 6;
constexpr int kStandardError = 0;

// Units connected to fort.<n> files, opened on first use and kept open for the
// life of the process. The table is fixed; a unit beyond its size is opened
// for each record and closed again, which is slower but loses nothing.
struct FileUnit {
  int unit;
  std::FILE* file;
};
constexpr int kMaxFileUnits = 16;
FileUnit g_file_units[kMaxFileUnits];
int g_file_unit_count = 0;

std::FILE* open_unit_file(int unit) {
  char name[32];
  std::snprintf(name, sizeof name, "fort.%d", unit);
  return std::fopen(name, "a");
}

void put_record(std::FILE* stream, const char* text, int length) {
  if (length > 0) std::fwrite(text, 1, static_cast<std::size_t>(length), stream);
  std::fputc('\n', stream);
}

}  // namespace

void write_record(int unit, const char* text, int length) {
  if (unit == kStandardOutput) return put_record(stdout, text, length);
  if (unit == kStandardError) return put_record(stderr, text, length);

  for (int i = 0; i < g_file_unit_count; ++i) {
    if (g_file_units[i].unit == unit) return put_record(g_file_units[i].file, text, length);
  }
  std::FILE* file = open_unit_file(unit);
  if (file == nullptr) {
    std::fprintf(stderr, "cxfun: cannot open fort.%d for unit %d; record follows\n", unit, unit);
    return put_record(stderr, text, length);
  }
  put_record(file, text, length);
  if (g_file_unit_count < kMaxFileUnits) {
    g_file_units[g_file_unit_count++] = FileUnit{unit, file};
  } else {
    std::fclose(file);
  }
}

void flush_units() {
  std::fflush(nullptr);
}

}  // namespace cxfun
