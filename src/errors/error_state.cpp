// The process-wide error state and its one-time set-up.
#include "errors/error_state.h"

#include <atomic>
#include <cstring>

namespace cxfun {

// Static storage: every field is zero until ERINIT runs.
ErrorState g_error_state;

namespace {

void set_up(ErrorState& s) {
  s.depth = 1;
  s.depth_limit = kDepthLimit;
  std::memset(s.routine_name[1], ' ', kRoutineNameLength);
  std::memcpy(s.routine_name[1], "USER", 4);

  // Level 1 starts clean; every level above it, the spare entry included, is
  // marked unused.
  s.level_type[1] = 0;
  s.level_code[1] = 0;
  for (int level = 2; level <= kDepthLimit + 1; ++level) {
    s.level_type[level] = -1;
    s.level_code[level] = -1;
  }

  // Only level 2 is the routine the user called; level 1 stays false.
  s.user_called[2] = true;
  for (int level = 3; level <= kDepthLimit + 1; ++level) s.user_called[level] = false;

  constexpr int kPrint[8] = {0, 0, 0, 1, 1, 1, 1, 1};
  constexpr int kStop[8] = {0, 0, 0, 0, 1, 1, 0, 1};
  for (int type = 1; type <= 7; ++type) {
    s.print_switch[type] = kPrint[type];
    s.stop_switch[type] = kStop[type];
  }

  s.param_end = 1;
  s.pending_warning = 0;
  s.pending_fatal = 0;
  // message_length keeps its process-start value 0.
}

}  // namespace

void ERINIT() {
  // The function-local static runs the set-up exactly once even if two
  // threads arrive together; the flag is published last, with release order,
  // so that a reader who sees it set also sees the whole state.
  static const bool done = [] {
    set_up(g_error_state);
    std::atomic_ref<bool>(g_error_state.initialised).store(true, std::memory_order_release);
    return true;
  }();
  (void)done;
}

}  // namespace cxfun
