#include <bit>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "machine/machine.h"
#include "process_runner.h"

namespace cxfun {
namespace {

using testing::run_process;
using testing::visible;

TEST(MachineTest, IntegerTable) {
  const int expected[12] = {32, 4, 2, 31, 2147483647, 2, 24, -125, 128, 53, -1021, 1024};
  for (int n = 1; n <= 12; ++n) EXPECT_EQ(IMACH(n), expected[n - 1]) << "IMACH(" << n << ")";
}

TEST(MachineTest, DoubleTableBitPatterns) {
  const std::uint64_t expected[8] = {0x0010000000000000, 0x7FEFFFFFFFFFFFFF, 0x3CA0000000000000,
                                     0x3CB0000000000000, 0x3FD34413509F79FF, 0x7FF8000000000000,
                                     0x7FF0000000000000, 0xFFF0000000000000};
  for (int n = 1; n <= 8; ++n) {
    EXPECT_EQ(std::bit_cast<std::uint64_t>(DMACH(n)), expected[n - 1]) << "DMACH(" << n << ")";
  }
  EXPECT_EQ(DMACH(3) * 2, DMACH(4));
  EXPECT_EQ(1 + DMACH(4), std::nextafter(1.0, 2.0));
}

std::string imach_message(const std::string& field) {
  return "\n *** TERMINAL ERROR 5 from IMACH.  The argument\n"
         " ***          must be between 1 and 12 inclusive.\n"
         " ***          N = " + field + ".\n\n";
}

std::string umach_message(const std::string& field) {
  return "\n *** TERMINAL ERROR 5 from UMACH.  The absolute\n"
         " ***          value of the index variable must be\n"
         " ***          1, 2, or 3.  IABS(N) = " + field + ".\n\n";
}

struct ProcessCase {
  std::vector<std::string> operations;
  std::string out;
  const char* why;
};

// Queries answer on standard output; a bad index writes its five records to
// the unit in force and ends the process with status 0, nothing after it.
TEST(MachineTest, ProcessLevelTable) {
  const ProcessCase cases[] = {
      {{"umach", "1", "0", "umach", "2", "0", "umach", "3", "0"}, "5\n6\n6\n", "initial units"},
      {{"imach", "0", "imach", "1"}, imach_message("     0"), "IMACH(0) stops"},
      {{"imach", "13"}, imach_message("    13"), "IMACH(13) stops"},
      {{"imach", "-123456"}, imach_message("******"), "field overflow shows asterisks"},
      {{"imach", "-12345"}, imach_message("-12345"), "six characters with the sign fit"},
      {{"umach", "0", "7"}, umach_message("     0") , "UMACH(0) stops, u untouched"},
      {{"umach", "4", "7"}, umach_message("     4"), "UMACH(4)"},
      {{"umach", "-4", "7"}, umach_message("     4"), "UMACH(-4) shows the magnitude"},
      {{"umach", "-2147483648", "7"}, umach_message("******"), "magnitude wraps negative"},
      {{"umach", "-3", "9", "umach", "3", "0"}, "9\n9\n", "change then query"},
  };
  for (const ProcessCase& c : cases) {
    std::vector<std::string> argv = {HOST_MACHINE};
    argv.insert(argv.end(), c.operations.begin(), c.operations.end());
    const testing::ProcessResult r = run_process(argv);
    EXPECT_EQ(r.exit_status, 0) << c.why;
    EXPECT_EQ(r.out, c.out) << c.why << "\n" << visible(r.out);
    EXPECT_EQ(r.err, "") << c.why;
  }
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

// Redirected units: the messages follow the unit table, into fort.<n> files.
TEST(MachineTest, RedirectedUnitsWriteToFiles) {
  char directory_template[] = "/tmp/cxfun_units_XXXXXX";
  const std::string directory = mkdtemp(directory_template);

  testing::ProcessResult r = run_process(
      {HOST_MACHINE, "umach", "-3", "9", "umach", "-4", "0"}, "", directory);
  EXPECT_EQ(r.exit_status, 0);
  EXPECT_EQ(r.out, "9\n");
  EXPECT_EQ(read_file(directory + "/fort.9"), umach_message("     4"));

  r = run_process({HOST_MACHINE, "umach", "-2", "7", "imach", "99"}, "", directory);
  EXPECT_EQ(r.exit_status, 0);
  EXPECT_EQ(r.out, "7\n");
  EXPECT_EQ(read_file(directory + "/fort.7"), imach_message("    99"));

  // A second process appends to the same unit file.
  r = run_process({HOST_MACHINE, "umach", "-2", "7", "imach", "0"}, "", directory);
  EXPECT_EQ(read_file(directory + "/fort.7"), imach_message("    99") + imach_message("     0"));
  std::system(("rm -rf " + directory).c_str());
}

}  // namespace
}  // namespace cxfun
