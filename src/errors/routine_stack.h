// The routine-name stack and error recording. Every numerical routine pushes
// its name on entry, records problems with E1MES, and pops its name on every
// way out; E1POP passes a recorded error up to the caller's level and, for
// the severe types, prints it and stops the process.
//
// In a routine the protocol reads:
//
//   void ZATAN(Complex& result, const Complex& z) {
//     RoutineScope scope("ZATAN ");          // push now, pop on every way out
//     ...
//     ERPUTZ(1, z);                          // values for the placeholders
//     E1MES(kTerminal, 5, "Z = %(Z1) is so close to +i or -i that ...");
//     ...
//   }
//
// A routine that records nothing and calls no routine takes a
// LeafRoutineScope instead, which leaves the same record more cheaply.
#ifndef CXFUN_ERRORS_ROUTINE_STACK_H
#define CXFUN_ERRORS_ROUTINE_STACK_H

#include <bit>
#include <cstddef>
#include <cstdint>
#include <cstring>

#include "errors/error_state.h"

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

// The push and pop of a library routine's six-character name, inline: the
// common case, with the state set up, room on the stack, the name on top and
// no error recorded at that level, does exactly what E1PSH and E1POP do, in a
// few stores and compares; every other case goes to them.
namespace routine_stack_detail {

inline constexpr std::uint64_t kBlanks = 0x2020202020202020u;

// name(1:6) and two blanks, as the first eight stored characters. Built
// from the characters, so that for a literal name it is a constant.
inline std::uint64_t first_word(const char* name) {
  std::uint64_t word = kBlanks;
  if constexpr (std::endian::native == std::endian::little) {
    for (int i = 5; i >= 0; --i) word = (word << 8) | static_cast<unsigned char>(name[i]);
  } else {
    std::memcpy(&word, name, 6);
  }
  return word;
}

inline void store_word(char* stored, int k, std::uint64_t word) {
  std::memcpy(stored + 8 * k, &word, 8);
}

// What a push leaves at `level`: the name whose first eight stored characters
// are `word`, blank-padded to 32, with type and code 0.
inline void fill_level(ErrorState& s, int level, std::uint64_t word) {
  char* stored = s.routine_name[level];
  store_word(stored, 0, word);
  store_word(stored, 1, kBlanks);
  store_word(stored, 2, kBlanks);
  store_word(stored, 3, kBlanks);
  s.level_type[level] = 0;
  s.level_code[level] = 0;
}

// Pushes name(1:6) and returns the level it now occupies.
inline int push_six(const char* name) {
  ErrorState& s = g_error_state;
  if (!error_state_ready() || s.depth >= s.depth_limit) [[unlikely]] {
    E1PSH(name, 6);  // sets the state up first, or stops at the limit
    return s.depth;
  }
  const int level = s.depth + 1;
  fill_level(s, level, first_word(name));
  s.depth = level;
  return level;
}

// Pops name(1:6), pushed at `level`. Where the depth is back at that level,
// the name on top is the one pushed there: every routine called in between
// pushed and popped in pairs, and a pop of any other name stops the process.
// So the common case needs no comparison of names.
inline void pop_six(const char* name, int level) {
  ErrorState& s = g_error_state;
  const int d = s.depth;
  // 2 <= d < depth_limit, in one comparison.
  const bool inner_level = static_cast<unsigned>(d - 2) < static_cast<unsigned>(s.depth_limit - 2);
  if (d != level || s.level_type[d] != 0 || !inner_level) [[unlikely]] {
    E1POP(name, 6);
    return;
  }
  // The level above, if an earlier call used it, no longer holds anything valid.
  s.level_type[d + 1] = -1;
  s.level_code[d + 1] = -1;
  s.depth = d - 1;
}

// Whether a push at the current depth and the pop after it would both take
// the common case: the state set up, and 1 <= depth <= depth_limit - 2.
inline bool push_and_pop_are_plain() {
  const ErrorState& s = g_error_state;
  return error_state_ready() &&
         static_cast<unsigned>(s.depth - 1) < static_cast<unsigned>(s.depth_limit - 2);
}

// What a push of name(1:6) followed by its pop leaves in the record, with no
// error recorded in between: the name stored one level above the top, that
// level's type and code 0, the next level's -1, and the depth unchanged.
// `word` is first_word(name).
inline void leave_push_and_pop_trace(std::uint64_t word) {
  ErrorState& s = g_error_state;
  const int level = s.depth + 1;
  fill_level(s, level, word);
  s.level_type[level + 1] = -1;
  s.level_code[level + 1] = -1;
}

}  // namespace routine_stack_detail

// Pushes a routine's six-character name when constructed and pops it when
// destroyed, so that every way out of the routine pops exactly once. The pop
// may end the process (a terminal error recorded in the routine, or an error
// that stops when it reaches the level the user called).
class RoutineScope {
 public:
  explicit RoutineScope(const char (&name)[7])
      : name_(name), level_(routine_stack_detail::push_six(name)) {}
  ~RoutineScope() { routine_stack_detail::pop_six(name_, level_); }
  RoutineScope(const RoutineScope&) = delete;
  RoutineScope& operator=(const RoutineScope&) = delete;

 private:
  const char* name_;
  int level_;
};

// The scope of a routine that records no error and calls no routine, so that
// nothing between its push and its pop can look at the stack: its only way of
// failing is a checked math function, which ends the process without a word
// from the stack. There the push and the pop are done at once on the way out,
// as the stores they leave behind, and the depth is never changed. Where
// either of them would not take the common case, they are done in full, in
// their places.
class LeafRoutineScope {
 public:
  explicit LeafRoutineScope(const char (&name)[7])
      : name_(name),
        word_(routine_stack_detail::first_word(name)),
        plain_(routine_stack_detail::push_and_pop_are_plain()) {
    if (!plain_) [[unlikely]] E1PSH(name_, 6);
  }
  ~LeafRoutineScope() {
    if (plain_) {
      routine_stack_detail::leave_push_and_pop_trace(word_);
    } else {
      E1POP(name_, 6);
    }
  }
  LeafRoutineScope(const LeafRoutineScope&) = delete;
  LeafRoutineScope& operator=(const LeafRoutineScope&) = delete;

 private:
  const char* name_;
  std::uint64_t word_;  // the name's first eight stored characters, worked out once
  bool plain_;
};

}  // namespace cxfun

#endif
