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

inline std::uint64_t stored_word(const char* stored, int k) {
  std::uint64_t word;
  std::memcpy(&word, stored + 8 * k, 8);
  return word;
}

inline void store_word(char* stored, int k, std::uint64_t word) {
  std::memcpy(stored + 8 * k, &word, 8);
}

inline void push_six(const char* name) {
  ErrorState& s = g_error_state;
  if (!error_state_ready() || s.depth >= s.depth_limit) [[unlikely]] {
    E1PSH(name, 6);
    return;
  }
  const int level = s.depth + 1;
  // The stored name: the six characters, blank-padded to 32.
  char* stored = s.routine_name[level];
  store_word(stored, 0, first_word(name));
  store_word(stored, 1, kBlanks);
  store_word(stored, 2, kBlanks);
  store_word(stored, 3, kBlanks);
  s.level_type[level] = 0;
  s.level_code[level] = 0;
  s.depth = level;
}

inline void pop_six(const char* name) {
  ErrorState& s = g_error_state;
  const int d = s.depth;
  const char* stored = s.routine_name[d];
  // Zero exactly when the stored name is name(1:6) blank-padded and no error
  // is recorded at the level.
  const std::uint64_t differences =
      (stored_word(stored, 0) ^ first_word(name)) | (stored_word(stored, 1) ^ kBlanks) |
      (stored_word(stored, 2) ^ kBlanks) | (stored_word(stored, 3) ^ kBlanks) |
      static_cast<std::uint32_t>(s.level_type[d]);
  // 2 <= d < depth_limit, in one comparison.
  const bool inner_level = static_cast<unsigned>(d - 2) < static_cast<unsigned>(s.depth_limit - 2);
  if (!inner_level || differences != 0) [[unlikely]] {
    E1POP(name, 6);
    return;
  }
  // The level above, if an earlier call used it, no longer holds anything valid.
  s.level_type[d + 1] = -1;
  s.level_code[d + 1] = -1;
  s.depth = d - 1;
}

}  // namespace routine_stack_detail

// Pushes a routine's six-character name when constructed and pops it when
// destroyed, so that every way out of the routine pops exactly once. The pop
// may end the process (a terminal error recorded in the routine, or an error
// that stops when it reaches the level the user called).
class RoutineScope {
 public:
  explicit RoutineScope(const char (&name)[7]) : name_(name) {
    routine_stack_detail::push_six(name_);
  }
  ~RoutineScope() { routine_stack_detail::pop_six(name_); }
  RoutineScope(const RoutineScope&) = delete;
  RoutineScope& operator=(const RoutineScope&) = delete;

 private:
  const char* name_;
};

}  // namespace cxfun

#endif
