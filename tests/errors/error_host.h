// Runs host_errors with a list of operations, and builds expected traceback
// lines column by column.
#ifndef CXFUN_TESTS_ERRORS_ERROR_HOST_H
#define CXFUN_TESTS_ERRORS_ERROR_HOST_H

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "process_runner.h"

namespace cxfun::testing {

inline ProcessResult run_error_host(const std::vector<std::string>& operations,
                                    const std::string& working_directory = "") {
  std::vector<std::string> argv = {HOST_ERRORS};
  argv.insert(argv.end(), operations.begin(), operations.end());
  return run_process(argv, "", working_directory);
}

// One process-level case: the host's operations, the standard output they
// must produce, and what the case shows.
struct HostCase {
  std::vector<std::string> operations;
  std::string out;
  const char* why;
};

// Runs every case; each must end with status 0, print exactly its expected
// output, and write nothing to standard error.
inline void check_host_cases(const std::vector<HostCase>& cases) {
  for (const HostCase& c : cases) {
    const ProcessResult r = run_error_host(c.operations);
    EXPECT_EQ(r.exit_status, 0) << c.why;
    EXPECT_EQ(r.out, c.out) << c.why << "\n" << visible(r.out);
    EXPECT_EQ(r.err, "") << c.why;
  }
}

// The three heading lines of a traceback.
inline std::string traceback_heading() {
  return "     Here is a traceback of subprogram calls in reverse order:\n"
         "     Routine name                    Error type  Error code\n"
         "     ------------                    ----------  ----------\n";
}

// One traceback line: five blanks, the name in 32 columns, the type and the
// code each in six columns (already right-justified), six blanks between
// them, and "(Called internally)" after four blanks for levels from 3 up.
inline std::string level_line(const std::string& name, const std::string& type,
                              const std::string& code, bool internal) {
  std::string line = "     " + name + std::string(32 - name.size(), ' ') + type + "      " + code;
  if (internal) line += "    (Called internally)";
  return line + "\n";
}

inline std::string field6(int value) {
  std::string digits = std::to_string(value);
  return std::string(6 - digits.size(), ' ') + digits;
}

}  // namespace cxfun::testing

#endif
