// The routine-name stack and error recording. Every numerical routine pushes
// its name on entry, records problems with E1MES, and pops its name on every
// way out; E1POP passes a recorded error up to the caller's level and, for
// the severe types, prints it and stops the process.
#ifndef CXFUN_ERRORS_ROUTINE_STACK_H
#define CXFUN_ERRORS_ROUTINE_STACK_H

namespace cxfun {

// Error types.
constexpr int kNote = 1;
constexpr int kAlert = 2;
constexpr int kWarning = 3;
constexpr int kFatal = 4;
constexpr int kTerminal = 5;
constexpr int kImmediateWarning = 6;
constexpr int kImmediateFatal = 7;

void E1PSH(const char* name, int length);
void E1POP(const char* name, int length);
void E1MES(int type, int code, const char* message, int length);
int ERPEND(int unused);

// Pushes a routine's six-character name when constructed and pops it when
// destroyed, so that every way out of the routine pops exactly once.
class RoutineScope {
 public:
  explicit RoutineScope(const char (&name)[7]) : name_(name) { E1PSH(name_, 6); }
  ~RoutineScope() { E1POP(name_, 6); }
  RoutineScope(const RoutineScope&) = delete;
  RoutineScope& operator=(const RoutineScope&) = delete;

 private:
  const char* name_;
};

}  // namespace cxfun

#endif
