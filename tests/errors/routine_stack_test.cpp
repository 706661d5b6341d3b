// The routine-name stack and error recording: when each error type is
// printed and when it stops the process, propagation level by level, the
// variants of E1MES, the pending immediate types, the protocol errors, the
// redirected error unit and DMACH's bad index. Process-level cases run the
// host as a subprocess and compare exit status and output byte for byte.
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "error_host.h"
#include "errors/error_state.h"
#include "errors/routine_stack.h"

namespace cxfun {
namespace {

using testing::check_host_cases;
using testing::field6;
using testing::HostCase;
using testing::level_line;
using testing::run_error_host;
using testing::traceback_heading;
using testing::visible;

std::string report(const std::string& type_name, const std::string& routine) {
  return "\n *** " + type_name + " ERROR 3 from " + routine + ".  Message.\n";
}

// A message recorded at level 3 and printed there, with its traceback.
std::string inner_report(const std::string& type_name, int type) {
  return report(type_name, "INNER") + traceback_heading() +
         level_line("INNER", field6(type), field6(3), true) +
         level_line("OUTER", field6(0), field6(0), false) +
         level_line("USER", field6(0), field6(0), false);
}

// Each type recorded by the routine the user called: when it prints and
// whether the pop returns ("returned") or stops the process.
TEST(RoutineStackTest, TypesAtLevelTwo) {
  auto ops = [](const char* type) {
    return std::vector<std::string>{"push", "ROUT  ", "mes", type, "3", "Message.", "say",
                                    "recorded", "pop", "ROUT  ", "say", "returned", "state"};
  };
  const std::string tail = "pending=0,0 message_length=";
  const std::vector<HostCase> cases = {
      {ops("1"), "recorded\nreturned\ndepth=1 [USER 0 0] [ROUT 1 3] " + tail + "11 param_end=1\n",
       "note: never printed, not passed on"},
      {ops("2"), "recorded\nreturned\ndepth=1 [USER 2 3] [ROUT 2 3] " + tail + "11 param_end=1\n",
       "alert: never printed, passed on"},
      {ops("3"),
       "recorded\n" + report("WARNING ", "ROUT") + "returned\ndepth=1 [USER 3 3] [ROUT 3 3] " +
           tail + "0 param_end=1\n",
       "warning: printed by the pop, which returns"},
      {ops("4"), "recorded\n" + report("FATAL   ", "ROUT"), "fatal: printed by the pop, stops"},
      {ops("5"), report("TERMINAL", "ROUT") + "recorded\n", "terminal: printed at once, stops"},
      {ops("6"),
       report("WARNING ", "ROUT") + "recorded\nreturned\ndepth=1 [USER 6 3] [ROUT 6 3] " + tail +
           "0 param_end=1\n",
       "immediate warning: printed at once, returns, pending cleared"},
      {ops("7"), report("FATAL   ", "ROUT") + "recorded\n",
       "immediate fatal: printed at once, stops at the pop"},
  };
  check_host_cases(cases);
}

// Each type recorded one level deeper: it travels up when INNER pops and is
// acted upon when OUTER, the routine the user called, pops.
TEST(RoutineStackTest, TypesAtLevelThree) {
  auto ops = [](const char* type) {
    return std::vector<std::string>{"push", "OUTER ", "push", "INNER ", "mes", type, "3",
                                    "Message.", "say", "recorded", "pop", "INNER ", "say",
                                    "inner", "state", "pop", "OUTER ", "say", "outer"};
  };
  auto state = [](const char* user, const char* outer, const char* inner, int length) {
    return std::string("depth=2 [USER ") + user + "] [OUTER " + outer + "] [INNER " + inner +
           "] pending=0,0 message_length=" + std::to_string(length) + " param_end=1\n";
  };
  const std::vector<HostCase> cases = {
      {ops("1"), "recorded\ninner\n" + state("0 0", "0 0", "1 3", 11) + "outer\n",
       "note stays at its level"},
      {ops("2"), "recorded\ninner\n" + state("0 0", "2 3", "2 3", 11) + "outer\n",
       "alert travels up, never printed"},
      {ops("3"),
       "recorded\ninner\n" + state("0 0", "3 3", "3 3", 11) + report("WARNING ", "OUTER") +
           "outer\n",
       "warning travels up, printed under OUTER's name without traceback"},
      {ops("4"),
       "recorded\ninner\n" + state("0 0", "4 3", "4 3", 11) + report("FATAL   ", "OUTER"),
       "fatal travels up, printed and stopped when OUTER pops"},
      {ops("5"), inner_report("TERMINAL", 5) + "recorded\n",
       "terminal stops when INNER pops, not printed again"},
      {ops("6"),
       inner_report("WARNING ", 6) + "recorded\ninner\n" +
           "depth=2 [USER 0 0] [OUTER 6 3] [INNER 6 3] pending=1,0 message_length=0 "
           "param_end=1\nouter\n",
       "immediate warning stays pending until OUTER returns"},
      {ops("7"),
       inner_report("FATAL   ", 7) + "recorded\ninner\n" +
           "depth=2 [USER 0 0] [OUTER 7 3] [INNER 7 3] pending=0,1 message_length=0 "
           "param_end=1\n",
       "immediate fatal stops when OUTER pops"},
  };
  check_host_cases(cases);
}

TEST(RoutineStackTest, RecordingVariants) {
  const std::vector<HostCase> cases = {
      {{"push", "A", "mes", "3", "2", "old", "mes", "-1", "-1", "new", "pop", "A"},
       "\n *** WARNING  ERROR 2 from A.  new\n", "(-1, -1) keeps type and code, replaces text"},
      {{"push", "A", "mes", "3", "2", "old", "mes", "0", "7", "text", "state", "pop", "A", "state"},
       "depth=2 [USER 0 0] [A 0 7] [ -1 -1] pending=0,0 message_length=0 param_end=1\n"
       "depth=1 [USER 0 0] [A 0 7] pending=0,0 message_length=0 param_end=1\n",
       "(0, 7) records no error and clears the waiting message"},
      {{"push", "A", "mes", "3", "0", "text", "pop", "A", "state"},
       "depth=1 [USER 3 0] [A 3 0] pending=0,0 message_length=0 param_end=1\n",
       "(3, 0) prints nothing, but the type travels up"},
      {{"push", "A", "mes", "3", "4", "old text", "mes", "5", "9", " ", "say", "after", "pop", "A",
        "say", "not reached"},
       "\n *** TERMINAL ERROR 9 from A.  old text\nafter\n",
       "a single blank reissues the waiting text"},
      {{"push", "A", "mes", "3", "4", "old text", "mes", "6", "8", ""},
       "\n *** WARNING  ERROR 8 from A.  old text\n", "an empty text reissues too"},
      {{"push", "A", "mes", "5", "1", "t", "mes", "3", "2", "w", "pop", "A", "say", "back"},
       "\n *** TERMINAL ERROR 1 from A.  t\n\n *** WARNING  ERROR 2 from A.  w\nback\n",
       "a warning after a terminal error at the same level replaces it"},
      {{"erputi", "1", "50", "mes", "3", "2", "early %(I1)", "state"},
       "depth=1 [USER 3 2] [ -1 -1] pending=0,0 message_length=11 param_end=1\n",
       "E1MES before any push sets up and records at the user level"},
      {{"mes", "5", "1", "early", "say", "back"}, "\n *** TERMINAL ERROR 1 from USER.  early\nback\n",
       "E1MES never stops; no pop follows at the user level"},
      {{"push", "ZASIN ", "mes", "9", "1", "x", "say", "not reached"},
       "\n *** UNKNOWN  ERROR 0 from ZASIN.  Error from E1MES.  Illegal error type\n"
       " ***          specified.\n",
       "illegal type: printed under the type and code recorded, then stops"},
      {{"push", "ZASIN ", "mes", "3", "7", "w", "mes", "-2", "1", "x"},
       "\n *** WARNING  ERROR 7 from ZASIN.  Error from E1MES.  Illegal error type\n"
       " ***          specified.\n",
       "illegal type -2 shows the warning recorded before"},
      {{"push", "A", "push", "B", "mes", "3", "5", "w", "pop", "B", "state", "pop", "A", "state"},
       "depth=2 [USER 0 0] [A 3 5] [B 3 5] pending=0,0 message_length=4 param_end=1\n"
       "\n *** WARNING  ERROR 5 from A.  w\n"
       "depth=1 [USER 3 5] [A 3 5] pending=0,0 message_length=0 param_end=1\n",
       "propagation level by level; the popped level keeps its record"},
  };
  check_host_cases(cases);
}

TEST(RoutineStackTest, PendingImmediateTypes) {
  const std::string f_report = "\n *** FATAL    ERROR 1 from B.  f\n" + traceback_heading() +
                               level_line("B", field6(7), field6(1), true) +
                               level_line("A", field6(0), field6(0), false) +
                               level_line("USER", field6(0), field6(0), false);
  const std::vector<HostCase> cases = {
      {{"push", "A", "mes", "7", "1", "f", "mes", "6", "2", "w", "state", "erpend", "state",
        "erpend"},
       "\n *** FATAL    ERROR 1 from A.  f\n\n *** WARNING  ERROR 2 from A.  w\n"
       "depth=2 [USER 0 0] [A 6 2] [ -1 -1] pending=1,1 message_length=0 param_end=1\n"
       "erpend 1\n"
       "depth=2 [USER 0 0] [A 6 2] [ -1 -1] pending=0,0 message_length=0 param_end=1\n"
       "erpend 0\n",
       "with both pending the result is type 7's stop switch; both are cleared"},
      {{"push", "A", "push", "B", "mes", "7", "1", "f", "pop", "B", "mes", "6", "2", "w", "pop",
        "A", "say", "not reached"},
       f_report + "\n *** WARNING  ERROR 2 from A.  w\n",
       "an immediate warning over a pending immediate fatal stops at level 2"},
      {{"push", "A", "push", "B", "mes", "7", "1", "f", "mes", "0", "0", "x", "pop", "B", "pop",
        "A", "say", "first call returned", "push", "C", "mes", "6", "2", "w", "pop", "C", "say",
        "not reached"},
       f_report + "first call returned\n\n *** WARNING  ERROR 2 from C.  w\n",
       "a withdrawn immediate fatal stays pending until a level-2 return checks it"},
  };
  check_host_cases(cases);
}

// The name of the routine at a level of the overflow case: R2 ... R49.
std::string routine_at(int level) { return std::string("R").append(std::to_string(level)); }

TEST(RoutineStackTest, ProtocolErrors) {
  const std::string name40 = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789ABCD";
  std::vector<std::string> overflow;
  for (int level = 2; level <= 49; ++level) {
    overflow.insert(overflow.end(), {"push", routine_at(level)});
  }
  overflow.insert(overflow.end(), {"push", "LAST", "state", "push", "OVER", "say", "not reached"});
  std::string overflow_out = "depth=50";
  overflow_out += " [USER 0 0]";
  for (int level = 2; level <= 49; ++level) overflow_out += " [" + routine_at(level) + " 0 0]";
  overflow_out += " [LAST 0 0] [ -1 -1] pending=0,0 message_length=0 param_end=1\n";
  overflow_out +=
      "\n *** TERMINAL ERROR 1 from LAST.  Error condition in E1PSH.  Push would cause\n"
      " ***          stack level to exceed 50. \n" +
      traceback_heading() + level_line("LAST", field6(5), field6(1), true);
  for (int level = 49; level >= 3; --level) {
    overflow_out += level_line(routine_at(level), field6(0), field6(0), true);
  }
  overflow_out += level_line("R2", field6(0), field6(0), false);
  overflow_out += level_line("USER", field6(0), field6(0), false);

  const std::vector<HostCase> cases = {
      {{"push", "ZASIN ", "pop", "ZACOS ", "say", "not reached"},
       "\n *** TERMINAL ERROR 2 from ZASIN.  Error condition in E1POP.  ZACOS does not\n"
       " ***          match the name ZASIN in the stack.\n",
       "pop of a name that is not on top"},
      {{"push", "ZASIN ", "pop", "zasin ", "say", "not reached"},
       "\n *** TERMINAL ERROR 2 from ZASIN.  Error condition in E1POP.  zasin does not\n"
       " ***          match the name ZASIN in the stack.\n",
       "the comparison is case sensitive"},
      {{"pop", "ZASIN ", "say", "not reached"},
       "\n *** TERMINAL ERROR 1 from E1POP.  Error condition in E1POP.  Cannot pop from\n"
       " ***          ZASIN because stack is empty.\n",
       "pop before any push"},
      {{"push", "ZASIN ", "pop", "ZASIN ", "pop", "ZASIN ", "say", "not reached"},
       "\n *** TERMINAL ERROR 1 from E1POP.  Error condition in E1POP.  Cannot pop from\n"
       " ***          ZASIN because stack is empty.\n",
       "pop with only the user level left"},
      {{"push", "ZASIN ", "pop", "ZASIN", "push", name40, "state", "pop", name40, "say", "back"},
       "depth=2 [USER 0 0] [" + name40.substr(0, 32) +
           " 0 0] [ -1 -1] pending=0,0 message_length=0 param_end=1\nback\n",
       "a trailing blank does not matter; a 40-character name is kept as 32 and pops"},
      {overflow, overflow_out, "push beyond level 50: 50 traceback lines, then stop"},
  };
  check_host_cases(cases);
}

std::string read_file(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

TEST(RoutineStackTest, MessagesFollowTheErrorUnit) {
  char directory_template[] = "/tmp/cxfun_errors_XXXXXX";
  const std::string directory = mkdtemp(directory_template);
  const testing::ProcessResult r = run_error_host(
      {"umach", "-3", "9", "push", "A", "mes", "5", "1", "x", "pop", "A", "say", "not reached"},
      directory);
  EXPECT_EQ(r.exit_status, 0);
  EXPECT_EQ(r.out, "");
  EXPECT_EQ(r.err, "");
  EXPECT_EQ(read_file(directory + "/fort.9"), "\n *** TERMINAL ERROR 1 from A.  x\n");
  std::system(("rm -rf " + directory).c_str());
}

TEST(RoutineStackTest, DmachBadIndex) {
  const std::string message =
      "\n *** TERMINAL ERROR 5 from DMACH.  The argument must be between 1 and 8\n"
      " ***          inclusive. N = ";
  const std::vector<HostCase> cases = {
      {{"dmach", "3", "dmach", "0", "say", "not reached"},
       "3CA0000000000000\n" + message + "0\n", "DMACH(0) after a good query"},
      {{"dmach", "9"}, message + "9\n", "DMACH(9)"},
      {{"push", "ZATAN ", "dmach", "-7"},
       "\n *** TERMINAL ERROR 5 from DMACH.  The argument must be between 1 and 8\n"
       " ***          inclusive. N = -7\n" +
           traceback_heading() + level_line("DMACH", field6(5), field6(5), true) +
           level_line("ZATAN", field6(0), field6(0), false) +
           level_line("USER", field6(0), field6(0), false),
       "called internally: traceback, then the pop of DMACH stops"},
  };
  check_host_cases(cases);
}

// The whole record, as bytes, for comparing what two ways of doing the same
// thing leave behind.
std::vector<unsigned char> record_bytes() {
  const auto* first = reinterpret_cast<const unsigned char*>(&g_error_state);
  return {first, first + sizeof(ErrorState)};
}

void leaf_routine() { LeafRoutineScope scope("LEAF  "); }

void scoped_leaf_caller() {
  RoutineScope scope("CALLER");
  leaf_routine();
}

void pushed_leaf_caller() {
  E1PSH("CALLER", 6);
  E1PSH("LEAF  ", 6);
  E1POP("LEAF  ", 6);
  E1POP("CALLER", 6);
}

// The scopes' short ways leave the record byte for byte as E1PSH and E1POP
// in full do, at the depths where they take them and at the edge of the
// stack, where they fall back to the full calls.
TEST(RoutineStackTest, ScopesLeaveTheRecordAsPushAndPopDo) {
  E1PSH("OUTER ", 6);
  const int base_depth = g_error_state.depth;
  // The last puts the leaf at the top level the stack holds.
  for (int extra : {0, 1, kDepthLimit - base_depth - 3, kDepthLimit - base_depth - 2}) {
    SCOPED_TRACE("levels pushed above OUTER: " + std::to_string(extra));
    for (int i = 0; i < extra; ++i) E1PSH("FILLER", 6);
    // Levels above the top hold leftovers that neither way must rely on.
    for (int level = g_error_state.depth + 1; level <= kDepthLimit + 1; ++level) {
      std::memset(g_error_state.routine_name[level], 'x', kRoutineNameLength);
      g_error_state.level_type[level] = 7;
      g_error_state.level_code[level] = 77;
    }
    const std::vector<unsigned char> start = record_bytes();
    pushed_leaf_caller();
    const std::vector<unsigned char> in_full = record_bytes();
    std::memcpy(&g_error_state, start.data(), start.size());
    scoped_leaf_caller();
    EXPECT_TRUE(record_bytes() == in_full);
    for (int i = 0; i < extra; ++i) E1POP("FILLER", 6);
  }
  E1POP("OUTER ", 6);
}

// A routine that leaves early on one path and late on another.
int scoped_routine(bool early) {
  RoutineScope scope("SCOPED");
  if (early) return g_error_state.depth;
  E1MES(kNote, 1, "a note stays at its level");
  return g_error_state.depth;
}

TEST(RoutineStackTest, RoutineScopePopsOnEveryWayOut) {
  E1PSH("OUTER ", 6);
  const int depth = g_error_state.depth;
  EXPECT_EQ(scoped_routine(true), depth + 1);
  EXPECT_EQ(g_error_state.depth, depth);
  EXPECT_EQ(std::string(g_error_state.routine_name[depth + 1], 32),
            "SCOPED" + std::string(26, ' '));
  EXPECT_EQ(scoped_routine(false), depth + 1);
  EXPECT_EQ(g_error_state.depth, depth);
  EXPECT_EQ(g_error_state.level_type[depth], 0) << "a note is not passed on";
  EXPECT_EQ(g_error_state.message_length, 28) << "the literal's length is taken whole";
  E1MES(0, 0, " ", 1);
  E1POP("OUTER ", 6);
}

}  // namespace
}  // namespace cxfun
