// The routine-name stack and error recording. Every numerical routine pushes
// its name on entry, records problems with E1MES, and pops its name on every
// way out; E1POP passes a recorded error up to the caller's level and, for
// the severe types, prints it and stops the process.
//
// In a routine the protocol reads:
//
//   double ZA1S(const Complex& z) {
//     RoutineScope scope("ZA1S  ");          // push now, pop on every way out
//     ...
//     ERPUTZ(1, z);                          // values for the placeholders
//     E1MES(kTerminal, 4, "The function overflows because Z = %(Z1) is too large.");
//     ...
//   }
#ifndef CXFUN_ERRORS_ROUTINE_STACK_H
#define CXFUN_ERRORS_ROUTINE_STACK_H

#include <cstddef>

namespace cxfun {

// Error types.
constexpr int kNote = 1;
constexpr int kAlert = 2;
constexpr int kWarning = 3;
constexpr int kFatal = 4;
constexpr int kTerminal = 5;
constexpr int kImmediateWarning = 6;
constexpr int kImmediateFatal = 7;

// Pushes name(1:length) as a new level: its first 32 characters, blank-padded.
// A push beyond level 50 is a terminal error that stops the process.
void E1PSH(const char* name, int length);

// Pops the top level after acting on the error recorded there: passes types 2
// to 7 to the caller's level, prints and stops as the type demands. Popping
// with only the user level left, or a name that is not the one on top, is a
// terminal error that stops the process.
void E1POP(const char* name, int length);

// Records an error of the given type and code with message(1:length) at the
// top level; types 5 to 7 are printed at once. Type -1 and a negative code
// keep what is recorded; type 0 or code 0 clears the waiting message; an
// empty or single-blank message keeps the previous text.
void E1MES(int type, int code, const char* message, int length);

// 0, or the stop switch of the immediate type pending (type 7 before type 6);
// clears both pending flags.
int ERPEND(int unused);

// A message text written as a string literal: its length is taken at compile
// time, so a routine cannot pass a wrong one. Only literals and other
// constant arrays convert.
class MessageText {
 public:
  template <std::size_t N>
  consteval MessageText(const char (&text)[N])  // NOLINT: implicit by design
      : text_(text), length_(static_cast<int>(N) - 1) {}

  const char* text() const { return text_; }
  int length() const { return length_; }

 private:
  const char* text_;
  int length_;
};

inline void E1MES(int type, int code, MessageText message) {
  E1MES(type, code, message.text(), message.length());
}

// Pushes a routine's six-character name when constructed and pops it when
// destroyed, so that every way out of the routine pops exactly once. The pop
// may end the process (a terminal error recorded in the routine, or an error
// that stops when it reaches the level the user called).
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
