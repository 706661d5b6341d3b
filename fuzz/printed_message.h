// What a printed error message must look like, checked from the outside:
// an empty line; the header " *** <type name> ERROR <code> from <routine>"
// followed by the start of the message; continuation lines " *** " plus nine
// blanks; no line longer than 78 characters; every character of the message
// printed in order, apart from the blanks and "%/" marks where a line is
// broken; and, below level 2, the traceback of the routine-name stack.
#ifndef CXFUN_FUZZ_PRINTED_MESSAGE_H
#define CXFUN_FUZZ_PRINTED_MESSAGE_H

#include <cmath>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

#include "harness.h"

namespace cxfun::fuzz {

// One level of the routine-name stack as the traceback shows it.
struct Level {
  std::string name;  // the stored 32 characters
  int type;
  int code;
};

// The stored name as printed: a lower-case first letter before an upper-case
// second letter is raised.
inline std::string printed_name(std::string name) {
  if (name.size() > 1 && name[1] >= 'A' && name[1] <= 'Z' && name[0] >= 'a' && name[0] <= 'z') {
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
  }
  return name;
}

// The stack's copy of a pushed name: its first 32 characters, blank-padded.
inline std::string stored_name(std::string_view name) {
  std::string stored(name.substr(0, 32));
  stored.resize(32, ' ');
  return stored;
}

inline std::string type_name(int type) {
  static const char* const kNames[] = {"NOTE    ", "ALERT   ", "WARNING ", "FATAL   ",
                                       "TERMINAL", "WARNING ", "FATAL   "};
  return type >= 1 && type <= 7 ? kNames[type - 1] : "UNKNOWN ";
}

inline std::string field6(int value) {
  const std::string digits = std::to_string(value);
  return digits.size() > 6 ? "******" : std::string(6 - digits.size(), ' ') + digits;
}

// A double as message parameters show it: 16 significant digits, the exponent
// after "D" with two digits, or with three digits and no letter beyond 99;
// zeros keep their sign; "Infinity", "-Infinity" and "NaN".
inline std::string rendered(double v) {
  if (std::isnan(v)) return "NaN";
  std::string text = std::signbit(v) ? "-" : "";
  if (std::isinf(v)) return text + "Infinity";
  char digits[40];
  std::snprintf(digits, sizeof digits, "%.15e", std::fabs(v));
  const std::string_view d(digits);
  const std::size_t e = d.find('e');
  const int exponent = std::stoi(std::string(d.substr(e + 1)));
  const int magnitude = exponent < 0 ? -exponent : exponent;
  char tail[8];
  std::snprintf(tail, sizeof tail, magnitude > 99 ? "%c%03d" : "D%c%02d", exponent < 0 ? '-' : '+',
                magnitude);
  return text + std::string(d.substr(0, e)) + tail;
}

inline std::string rendered(double re, double im) {
  return "(" + rendered(re) + "," + rendered(im) + ")";
}

// True when the printed pieces, in order, are the message with nothing taken
// away except, where one piece ends and the next begins, one "%/" mark or up
// to two blanks (the blank a line is broken at and one dropped blank).
inline bool pieces_cover_message(const std::vector<std::string>& pieces, std::string_view message) {
  std::vector<std::size_t> reachable = {0};
  for (std::size_t k = 0; k < pieces.size(); ++k) {
    std::vector<std::size_t> next;
    for (const std::size_t at : reachable) {
      std::vector<std::size_t> starts = {at};
      if (k > 0) {
        if (message.substr(at, 2) == "%/") starts.push_back(at + 2);
        if (message.substr(at, 1) == " ") starts.push_back(at + 1);
        if (message.substr(at, 2) == "  ") starts.push_back(at + 2);
      }
      for (const std::size_t s : starts) {
        if (message.substr(s, pieces[k].size()) == pieces[k]) {
          const std::size_t end = s + pieces[k].size();
          bool seen = false;
          for (const std::size_t n : next) seen = seen || n == end;
          if (!seen) next.push_back(end);
        }
      }
    }
    reachable = next;
  }
  for (const std::size_t at : reachable) {
    if (at == message.size()) return true;
  }
  return false;
}

// Checks printed bytes against the message that should have been printed:
// header fields, line widths, the message's characters, and the traceback of
// `stack` (bottom level first) when it is deeper than 2.
inline void check_printed_message(const std::string& printed, int type, int code,
                                  std::string_view message, const std::vector<Level>& stack) {
  std::vector<std::string> lines;
  const std::string detail = "printed:\n" + printed + "\nmessage: " + std::string(message);
  check(split_lines(printed, lines), "printed text is not whole lines", detail);
  const int count = static_cast<int>(lines.size());
  check(count >= 2 && lines[0].empty(), "a message starts with an empty line", detail);
  for (int k = 0; k < count; ++k) {
    check(lines[k].size() <= 78, "a printed line is longer than 78 characters", detail);
  }

  std::string routine = printed_name(stack.back().name);
  routine = routine.substr(0, routine.find(' '));
  const std::string header =
      " *** " + type_name(type) + " ERROR " + std::to_string(code) + " from " + routine;
  check(lines[1].compare(0, header.size(), header) == 0, "header line", detail);

  std::vector<std::string> pieces = {lines[1].substr(header.size())};
  int k = 2;
  for (; k < count && lines[k].compare(0, 5, " *** ") == 0; ++k) {
    if (lines[k].size() == 5) {
      pieces.emplace_back();
    } else {
      check(lines[k].compare(5, 9, "         ") == 0, "continuation indent", detail);
      pieces.push_back(lines[k].substr(14));
    }
  }
  check(pieces_cover_message(pieces, message), "message characters lost or changed", detail);

  const int depth = static_cast<int>(stack.size());
  if (depth <= 2) {
    check(k == count, "no traceback at depth 2 or less", detail);
    return;
  }
  const std::string expected_heading[3] = {
      "     Here is a traceback of subprogram calls in reverse order:",
      "     Routine name                    Error type  Error code",
      "     ------------                    ----------  ----------"};
  check(count - k == 3 + depth, "traceback length", detail);
  for (int h = 0; h < 3; ++h)
    check(lines[k + h] == expected_heading[h], "traceback heading", detail);
  for (int p = depth; p >= 1; --p) {
    const Level& level = stack[p - 1];
    std::string expected =
        "     " + printed_name(level.name) + field6(level.type) + "      " + field6(level.code);
    if (p >= 3) expected += "    (Called internally)";
    check(lines[k + 3 + depth - p] == expected, "traceback line", detail);
  }
}

}  // namespace cxfun::fuzz

#endif
