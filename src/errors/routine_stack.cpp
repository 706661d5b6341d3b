// The routine-name stack: pushes, pops, error recording, and the decisions of
// when a recorded error is printed and when the process stops.
//
// Push and pop without a recorded error are on the path of every numerical
// routine, so they do only the stack work: no allocation, the name copied
// and compared as one 32-character block, and every error path kept out of
// line.
#include "errors/routine_stack.h"

#include <cstring>

#include "errors/error_state.h"
#include "errors/parameters.h"
#include "runtime/termination.h"

namespace cxfun {
namespace {

// The stack's copy of a name: its first min(length, 32) characters,
// blank-padded to 32.
void copy_name(char (&stored)[kRoutineNameLength], const char* name, int length) {
  const int n = length < 0 ? 0 : (length > kRoutineNameLength ? kRoutineNameLength : length);
  std::memset(stored, ' ', kRoutineNameLength);
  if (n > 0) std::memcpy(stored, name, static_cast<std::size_t>(n));
}

[[noreturn, gnu::cold, gnu::noinline]] void report_push_overflow() {
  ERPUTI(1, g_error_state.depth_limit);
  E1MES(kTerminal, 1, "Error condition in E1PSH.  Push would cause stack level to exceed %(I1). ");
  stop_process();
}

// Reported from a level of its own, so that the header names E1POP.
[[noreturn, gnu::cold, gnu::noinline]] void report_empty_stack(const char* name, int length) {
  E1PSH("E1POP ", 6);
  ERPUTL(1, name, length);
  E1MES(kTerminal, 1, "Error condition in E1POP.  Cannot pop from %(L1) because stack is empty.");
  stop_process();
}

[[noreturn, gnu::cold, gnu::noinline]] void report_name_mismatch(const char* name, int length,
                                                                 int level) {
  ERPUTL(1, name, length);
  ERPUTL(2, g_error_state.routine_name[level], kRoutineNameLength);
  E1MES(kTerminal, 2,
        "Error condition in E1POP.  %(L1) does not match the name %(L2) in the stack.");
  stop_process();
}

// Acts on the error of type t recorded at the level d being popped: passes it
// to the caller's level (a note stays where it is), then prints and stops as
// the type's switches say. Types 1 to 4 are acted upon only where the user's
// call returns; a terminal error stops wherever it was recorded; the
// immediate types were printed when recorded and stop, if at all, where the
// user's call returns.
[[gnu::noinline]] void act_on_recorded_error(int d, int t) {
  ErrorState& s = g_error_state;
  if (t >= 2 && t <= 7) {
    s.level_type[d - 1] = t;
    s.level_code[d - 1] = s.level_code[d];
  }
  if (t >= 1 && t <= 4) {
    if (s.print_switch[t] == 1 && s.user_called[d]) ERPRNT();
    if (s.stop_switch[t] == 1 && s.user_called[d]) stop_process();
  } else if (t >= 5 && t <= 7) {
    if (s.print_switch[t] == 1) ERPRNT();  // writes nothing if printed already
    if (t == kTerminal) {
      if (s.stop_switch[kTerminal] == 1) stop_process();
    } else if (s.user_called[d] && ERPEND(0) != 0) {
      stop_process();
    }
  }
}

}  // namespace

void E1PSH(const char* name, int length) {
  if (!error_state_ready()) [[unlikely]] ERINIT();
  ErrorState& s = g_error_state;
  if (s.depth >= s.depth_limit) [[unlikely]] report_push_overflow();
  const int level = s.depth + 1;
  copy_name(s.routine_name[level], name, length);
  s.level_type[level] = 0;
  s.level_code[level] = 0;
  s.depth = level;
}

void E1POP(const char* name, int length) {
  ErrorState& s = g_error_state;
  const int d = s.depth;
  if (d <= 1) [[unlikely]] report_empty_stack(name, length);

  // The name is compared as the push stored it, exactly, case included, so
  // 'ZASIN ' pushed pops as 'ZASIN' and any name that was pushed can be popped.
  char given[kRoutineNameLength];
  copy_name(given, name, length);
  if (std::memcmp(given, s.routine_name[d], kRoutineNameLength) != 0) [[unlikely]] {
    report_name_mismatch(name, length, d);
  }

  const int t = s.level_type[d];
  if (t != 0) [[unlikely]] act_on_recorded_error(d, t);

  // The level above, if an earlier call used it, no longer holds anything valid.
  if (d < s.depth_limit) {
    s.level_type[d + 1] = -1;
    s.level_code[d + 1] = -1;
  }
  s.depth = d - 1;
}

void E1MES(int type, int code, const char* message, int length) {
  // Recording before any push sets the state up first, so the error lands at
  // the user level instead of a level that does not exist.
  if (!error_state_ready()) [[unlikely]] ERINIT();
  ErrorState& s = g_error_state;
  const int k = s.depth;

  if (type < -1 || type > 7) {
    // Printed under the type and code already recorded at this level.
    static constexpr char kIllegal[] = ".  Error from E1MES.  Illegal error type specified.";
    std::memcpy(s.message, kIllegal, sizeof kIllegal - 1);
    s.message_length = sizeof kIllegal - 1;
    ERPRNT();
    stop_process();
  }

  if (type != -1) s.level_type[k] = type;
  const int t = s.level_type[k];
  if (code >= 0) s.level_code[k] = code;

  if (type == 0 || code == 0) {
    // No error: nothing is left waiting to be printed.
    s.message_length = 0;
    s.param_end = 1;
    return;
  }

  // An empty or single-blank text reissues the waiting message under the new
  // type and code.
  const bool keep_text = length == 0 || (length == 1 && message[0] == ' ');
  if (!keep_text) compose_message(message, length);

  if (t == kImmediateWarning) s.pending_warning = 1;
  if (t == kImmediateFatal) s.pending_fatal = 1;
  if (t >= kTerminal && t <= kImmediateFatal && s.print_switch[t] == 1) ERPRNT();
  s.param_end = 1;
}

int ERPEND(int /*unused*/) {
  ErrorState& s = g_error_state;
  int result = 0;
  if (s.pending_warning > 0) {
    result = s.stop_switch[kImmediateWarning];
    s.pending_warning = 0;
  }
  if (s.pending_fatal > 0) {
    result = s.stop_switch[kImmediateFatal];
    s.pending_fatal = 0;
  }
  return result;
}

}  // namespace cxfun
