// ERPRNT: writes the recorded message to the error output unit.
//
// Layout: an empty line; a header line " *** <type name> ERROR <code> from
// <routine>" followed by as much of the message as fits in the first 59
// columns after the header tail; continuation lines " *** " plus nine blanks
// with up to 64 message characters each, broken at "%/" marks or at the last
// blank that fits; and, while a routine called internally is active (depth
// above 2), a traceback of the routine-name stack. Every line is one record.
#include <cstring>

#include "errors/error_state.h"
#include "errors/text.h"
#include "machine/machine.h"
#include "runtime/units.h"

namespace cxfun {
namespace {

constexpr char kTypeNames[] = "NOTE    ALERT   WARNING FATAL   TERMINALWARNING FATAL   ";
constexpr char kUnknownType[] = "UNKNOWN ";
constexpr int kTypeNameLength = 8;
constexpr int kContinuationWidth = 64;

// One output record under construction. No record is longer than 78
// characters; the buffer leaves room to spare.
struct Line {
  char text[96];
  int length = 0;

  void append(const char* s, int n) {
    if (n <= 0) return;
    std::memcpy(text + length, s, static_cast<std::size_t>(n));
    length += n;
  }
  void append_blanks(int n) {
    if (n <= 0) return;
    std::memset(text + length, ' ', static_cast<std::size_t>(n));
    length += n;
  }
  void write(int unit) const { write_record(unit, text, length); }
};

// The routine name of a level as printed: a lower-case first letter followed
// by an upper-case second letter is raised, so 'zASIN' prints as 'ZASIN'
// while 'ab cd' stays as it is. The stored name is never changed.
void printed_name(int level, char (&name)[kRoutineNameLength]) {
  std::memcpy(name, g_error_state.routine_name[level], kRoutineNameLength);
  if (name[1] >= 'A' && name[1] <= 'Z' && name[0] >= 'a' && name[0] <= 'z') {
    name[0] = static_cast<char>(name[0] - 'a' + 'A');
  }
}

const char* type_name(int type) {
  if (type < 1 || type > 7) return kUnknownType;
  return kTypeNames + (type - 1) * kTypeNameLength;
}

// Appends value right-justified in six columns, or six asterisks when its
// decimal form needs more.
void append_number_field(Line& line, int value) {
  char field[6];
  int status = 0;
  TXIFMT(value, field, 6, status);
  if (status == 0) {
    line.append(field, 6);
  } else {
    line.append("******", 6);
  }
}

// " <code> from <name>": the code without leading blanks, the printed name up
// to its first blank. At most 1 + 10 + 6 + 32 = 49 characters.
void build_header_tail(Line& tail, int depth) {
  tail.append(" ", 1);
  char code_field[10];
  int status = 0;
  TXIFMT(g_error_state.level_code[depth], code_field, 10, status);
  const int first = TXVRFY(code_field, 10, " ", 1);
  if (first > 0) tail.append(code_field + first - 1, 10 - first + 1);
  tail.append(" from ", 6);
  char name[kRoutineNameLength];
  printed_name(depth, name);
  int name_length = 0;
  while (name_length < kRoutineNameLength && name[name_length] != ' ') ++name_length;
  tail.append(name, name_length);
}

// A continuation line carries message positions first to last after " *** "
// and nine blanks; a line with no characters is " *** " alone.
void write_continuation(int unit, const char* message, int first, int last) {
  Line line;
  line.append(" *** ", 5);
  if (last >= first) {
    line.append_blanks(9);
    line.append(message + first - 1, last - first + 1);
  }
  line.write(unit);
}

template <int N>
void write_fixed_line(int unit, const char (&text)[N]) {
  write_record(unit, text, N - 1);
}

void write_traceback(int unit, int depth) {
  write_fixed_line(unit, "     Here is a traceback of subprogram calls in reverse order:");
  write_fixed_line(unit, "     Routine name                    Error type  Error code");
  write_fixed_line(unit, "     ------------                    ----------  ----------");
  for (int level = depth; level >= 1; --level) {
    Line line;
    line.append_blanks(5);
    char name[kRoutineNameLength];
    printed_name(level, name);
    line.append(name, kRoutineNameLength);
    append_number_field(line, g_error_state.level_type[level]);
    line.append_blanks(6);
    append_number_field(line, g_error_state.level_code[level]);
    if (level >= 2 && !g_error_state.user_called[level]) {
      line.append_blanks(4);
      line.append("(Called internally)", 19);
    }
    line.write(unit);
  }
}

}  // namespace

void ERPRNT() {
  ErrorState& s = g_error_state;
  const int m = s.message_length;
  if (m <= 0) return;  // printed already, or nothing recorded

  int unit = 0;
  UMACH(3, unit);

  const char* message = s.message;  // message position k is message[k - 1]
  const int depth = s.depth;
  Line tail;
  build_header_tail(tail, depth);
  const int room = 59 - tail.length;

  // First line. A "%/" before the room runs out ends it; otherwise a message
  // that fits is printed whole; otherwise the line breaks at the last blank
  // that fits, and that blank is not printed. Every composed message starts
  // with a period and two blanks, so the blank exists; should it not, the
  // line is filled to the room and nothing is lost.
  const int mark = TXFNDI(message, m, "%/", 2);
  int first_line_end = m;
  int break_position = 0;  // 0: no continuation lines
  if (mark > 0 && mark < room) {
    first_line_end = mark - 1;
    break_position = mark + 1;
  } else if (m > room) {
    int blank = room;
    while (blank >= 2 && message[blank - 1] != ' ') --blank;
    if (blank >= 2) {
      first_line_end = blank - 1;
      break_position = blank;
    } else {
      first_line_end = room;
      break_position = room;
    }
  }

  write_record(unit, "", 0);
  Line header;
  header.append(" *** ", 5);
  header.append(type_name(s.level_type[depth]), kTypeNameLength);
  header.append(" ERROR", 6);
  header.append(tail.text, tail.length);
  header.append(message, first_line_end);
  header.write(unit);

  if (break_position > 0) {
    // Right after a "%/" the text is printed as written; after a break at a
    // blank or at the line width, one leading blank is dropped. On the first
    // continuation line any mark in the message keeps the blank.
    bool after_mark = mark > 0;
    int b = break_position;
    for (;;) {
      int start = b + 1;
      const int end = b + kContinuationWidth;
      const int window = m - b < kContinuationWidth ? m - b : kContinuationWidth;
      const int next_mark = window >= 2 ? TXFNDI(message + start - 1, window, "%/", 2) : 0;
      if (!after_mark && start <= m && message[start - 1] == ' ') ++start;
      if (next_mark > 0) {
        write_continuation(unit, message, start, b + next_mark - 1);
        b = b + next_mark + 1;
        after_mark = true;
        continue;
      }
      if (end >= m) {
        write_continuation(unit, message, start, m);
        break;
      }
      int blank = end;
      while (blank >= start + 1 && message[blank - 1] != ' ') --blank;
      if (blank >= start + 1) {
        write_continuation(unit, message, start, blank);
        b = blank;
      } else {
        write_continuation(unit, message, start, end);
        b = end;
      }
      after_mark = false;
    }
  }

  // The message is consumed and the parameter store emptied.
  s.message_length = 0;
  s.param_end = 1;

  if (depth > 2) write_traceback(unit, depth);
}

}  // namespace cxfun
