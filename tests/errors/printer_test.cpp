// The printed layout of recorded messages: header line, first-line split,
// continuation lines, "%/" marks, the traceback and its number fields, and
// the first-letter rule. Every case runs the host as a subprocess and
// compares its output byte for byte.
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "error_host.h"

namespace cxfun {
namespace {

using testing::check_host_cases;
using testing::field6;
using testing::HostCase;
using testing::level_line;
using testing::run_error_host;
using testing::traceback_heading;
using testing::visible;

// 200 letters, cycling through the alphabet, so a lost or repeated letter shows.
std::string long_word() {
  std::string word;
  for (int k = 0; k < 200; ++k) word += static_cast<char>('A' + k % 26);
  return word;
}

const std::string kWarningHeader = "\n *** WARNING  ERROR 2 from ZATAN.";  // R = 46
const std::string kContinuation = " ***          ";

TEST(PrinterTest, HeaderAndContinuationLines) {
  const std::string word = long_word();
  const std::string x42(42, 'x');
  const std::string y63(63, 'y');
  const std::vector<HostCase> cases = {
      {{"push", "ZATAN ", "mes", "6", "2", "Z is close to i.", "say", "back"},
       kWarningHeader + "  Z is close to i.\nback\n",
       "a message that fits is the header line alone, no traceback at depth 2"},
      {{"push", "A", "mes", "1", "1", "n", "erprnt", "mes", "2", "1", "a", "erprnt", "mes", "4",
        "1", "f", "erprnt", "mes", "5", "1", "t"},
       "\n *** NOTE     ERROR 1 from A.  n\n\n *** ALERT    ERROR 1 from A.  a\n"
       "\n *** FATAL    ERROR 1 from A.  f\n\n *** TERMINAL ERROR 1 from A.  t\n",
       "type names padded to eight characters"},
      {{"push", "ZATAN ", "mes", "3", "2", "close", "erputz", "1", "0", "1", "mes", "5", "5",
        "Z = %(Z1) is so close to +i or -i that all precision is lost because DATAN is "
        "nearly singular."},
       "\n *** TERMINAL ERROR 5 from ZATAN.  Z =\n" + kContinuation +
           "(0.000000000000000D+00,1.000000000000000D+00) is so close to +i \n" + kContinuation +
           "or -i that all precision is lost because DATAN is nearly \n" + kContinuation +
           "singular.\n",
       "the terminal error of ZATAN at i: lines broken after a blank keep it"},
      {{"push", "ZATAN ", "mes", "6", "2", "First part%/second part"},
       kWarningHeader + "  First part\n" + kContinuation + "second part\n",
       "a mark ends the first line"},
      {{"push", "ZATAN ", "mes", "6", "2", "a%/"},
       kWarningHeader + "  a\n *** \n",
       "a mark at the end gives a last line with no characters"},
      {{"push", "ZATAN ", "mes", "6", "2", "a%/%/b"},
       kWarningHeader + "  a\n *** \n" + kContinuation + "b\n",
       "two marks in a row give an empty line between"},
      {{"push", "ZATAN ", "mes", "6", "2", word},
       kWarningHeader + " \n" + kContinuation + word.substr(0, 64) + "\n" + kContinuation +
           word.substr(64, 64) + "\n" + kContinuation + word.substr(128, 64) + "\n" +
           kContinuation + word.substr(192) + "\n",
       "a 200-letter word: first line ends at the blank in position 3, then 64, 64, 64, 8"},
      {{"push", "ZATAN ", "mes", "6", "2", x42 + "  next last"},
       kWarningHeader + "  " + x42 + "\n" + kContinuation + "next last\n",
       "after a break at a blank one more blank is dropped"},
      {{"push", "ZATAN ", "mes", "6", "2", x42 + "  next%/last"},
       kWarningHeader + "  " + x42 + "\n" + kContinuation + " next\n" + kContinuation + "last\n",
       "a mark further on keeps the leading blank of the first continuation line"},
      {{"push", "ZATAN ", "mes", "6", "2", x42 + " " + y63 + "  zz%/w"},
       kWarningHeader + "  " + x42 + "\n" + kContinuation + y63 + " \n" + kContinuation +
           "zz\n" + kContinuation + "w\n",
       "a line broken at a blank keeps it; the next drops one blank and stops at the mark"},
      {{"push", "ZATAN ", "mes", "6", "2", x42 + "  " + std::string(70, 'z') + "%/e"},
       kWarningHeader + "  " + x42 + "\n" + kContinuation + " " + std::string(63, 'z') + "\n" +
           kContinuation + "zzzzzzz\n" + kContinuation + "e\n",
       "a kept leading blank is no place to break the line"},
      {{"push", "ZATAN ", "mes", "6", "2", "x", "erprnt", "say", "done"},
       kWarningHeader + "  x\ndone\n", "a second ERPRNT writes nothing"},
  };
  check_host_cases(cases);
}

TEST(PrinterTest, OverflowReportOfZA1SThroughZASIN) {
  check_host_cases({{{"push", "ZASIN ", "push", "ZA1S  ", "erputz", "1", "1.5e308", "1.5e308", "mes",
                 "5", "4", "The function overflows because Z = %(Z1) is too large.", "pop",
                 "ZA1S  ", "say", "not reached"},
                "\n"
                " *** TERMINAL ERROR 4 from ZA1S.  The function overflows because Z =\n"
                " ***          (1.500000000000000+308,1.500000000000000+308) is too large.\n"
                "     Here is a traceback of subprogram calls in reverse order:\n"
                "     Routine name                    Error type  Error code\n"
                "     ------------                    ----------  ----------\n"
                "     ZA1S                                 5           4    (Called internally)\n"
                "     ZASIN                                0           0\n"
                "     USER                                 0           0\n",
                "nine lines, then the pop of ZA1S stops"}});
}

TEST(PrinterTest, TracebackNamesAndNumbers) {
  const std::vector<HostCase> cases = {
      {{"push", "zASIN ", "push", "ab cd", "mes", "5", "1", "x"},
       "\n *** TERMINAL ERROR 1 from ab.  x\n" + traceback_heading() +
           level_line("ab cd", field6(5), field6(1), true) +
           level_line("ZASIN", field6(0), field6(0), false) +
           level_line("USER", field6(0), field6(0), false),
       "header name ends at its first blank; 'zASIN' prints raised"},
      {{"push", "ab cd", "push", "zASIN ", "mes", "5", "1", "x"},
       "\n *** TERMINAL ERROR 1 from ZASIN.  x\n" + traceback_heading() +
           level_line("ZASIN", field6(5), field6(1), true) +
           level_line("ab cd", field6(0), field6(0), false) +
           level_line("USER", field6(0), field6(0), false),
       "first-letter rule in the header; 'ab cd' whole in the traceback"},
      {{"push", "A", "push", "B", "mes", "5", "1234567", "x"},
       "\n *** TERMINAL ERROR 1234567 from B.  x\n" + traceback_heading() +
           level_line("B", field6(5), "******", true) +
           level_line("A", field6(0), field6(0), false) +
           level_line("USER", field6(0), field6(0), false),
       "a seven-digit code prints in the header, as asterisks in the traceback"},
      {{"push", "A", "push", "B", "mes", "5", "123456", "x"},
       "\n *** TERMINAL ERROR 123456 from B.  x\n" + traceback_heading() +
           level_line("B", field6(5), "123456", true) +
           level_line("A", field6(0), field6(0), false) +
           level_line("USER", field6(0), field6(0), false),
       "a six-digit code fills its columns"},
  };
  check_host_cases(cases);
}

}  // namespace
}  // namespace cxfun
