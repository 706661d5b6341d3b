// Runs a program as a subprocess and captures what it leaves behind: exit
// status, standard output and standard error, byte for byte.
#ifndef CXFUN_TESTS_PROCESS_RUNNER_H
#define CXFUN_TESTS_PROCESS_RUNNER_H

#include <ostream>
#include <string>
#include <vector>

namespace cxfun::testing {

struct ProcessResult {
  int exit_status = -1;  // -1 when the process did not exit normally
  std::string out;
  std::string err;
};

// argv[0] is the program's path. The child's working directory is
// working_directory when it is not empty; input is its standard input.
ProcessResult run_process(const std::vector<std::string>& argv, const std::string& input = "",
                          const std::string& working_directory = "");

// Readable form of a byte string for failure messages: \r, \n and other
// control bytes escaped.
std::string visible(const std::string& bytes);

}  // namespace cxfun::testing

#endif
