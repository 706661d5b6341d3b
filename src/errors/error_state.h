// The one process-wide error state: the routine-name stack with the error
// type and code recorded at each level, the last recorded message, the
// message-parameter store, and the print and stop switches per error type.
// Texts are 8-bit character buffers without terminator; text position k
// (counted from 1) is element k-1. Per-level arrays are indexed by the level
// itself (1 to 50, element 0 unused, element 51 the spare beyond the limit);
// per-type arrays by the type (1 to 7, element 0 unused).
#ifndef CXFUN_ERRORS_ERROR_STATE_H
#define CXFUN_ERRORS_ERROR_STATE_H

#include <atomic>

namespace cxfun {

constexpr int kDepthLimit = 50;
constexpr int kMessageCapacity = 1024;
constexpr int kParamCapacity = 300;
constexpr int kRoutineNameLength = 32;

struct ErrorState {
  bool user_called[kDepthLimit + 2];
  char message[kMessageCapacity];
  char param_store[kParamCapacity];
  char routine_name[kDepthLimit + 2][kRoutineNameLength];
  int depth;
  int depth_limit;
  int message_length;
  int level_type[kDepthLimit + 2];
  int level_code[kDepthLimit + 2];
  int print_switch[8];
  int stop_switch[8];
  int param_end;
  int pending_warning;
  int pending_fatal;
  bool initialised;
};

// All fields are zero when the process starts; ERINIT sets them up.
extern ErrorState g_error_state;

// Sets the state up on its first call in the process; later calls do nothing.
void ERINIT();

// True once ERINIT has set the state up (acquire order, so that the whole
// set-up is visible to a caller who sees it).
inline bool error_state_ready() {
  return std::atomic_ref<bool>(g_error_state.initialised).load(std::memory_order_acquire);
}

// Prints the recorded message (header, wrapped continuation lines, and a
// traceback when the stack is deeper than 2) to the error output unit, then
// empties the message and the parameter store. Writes nothing when no
// message is waiting.
void ERPRNT();

}  // namespace cxfun

#endif
