// Normal process termination: every unit flushed, exit handlers run, exit
// status 0, and no text of its own.
#ifndef CXFUN_RUNTIME_TERMINATION_H
#define CXFUN_RUNTIME_TERMINATION_H

#include <atomic>

namespace cxfun {

[[noreturn]] void stop_process();

// Test-only seam. A fuzzing or stress harness that must survive the ends of
// the process installs a hook; stop_process() and fatal_math_error() then
// hand it a description of the end instead of writing the math error message
// and exiting. The hook must not return: it leaves by longjmp to its harness,
// which treats the library's error state as that of a process that has ended
// (the routines that were on the stack never pop). Should the hook return,
// the process ends as it would without it. The hook is read only on the way
// to ending the process; without one, nothing changes.
struct ProcessEnd {
  int status;            // 0 after a stop, 3 after a fatal math error
  const char* function;  // "sqrt", "log" or "atan2" after a fatal math error, else null
  bool domain;           // a domain error (true) or a singularity error (false)
};
using ProcessEndHook = void (*)(const ProcessEnd& end);

inline std::atomic<ProcessEndHook> g_process_end_hook{nullptr};

inline void set_process_end_hook_for_testing(ProcessEndHook hook) {
  g_process_end_hook.store(hook, std::memory_order_release);
}

inline void call_process_end_hook(const ProcessEnd& end) {
  if (const ProcessEndHook hook = g_process_end_hook.load(std::memory_order_acquire)) hook(end);
}

}  // namespace cxfun

#endif
