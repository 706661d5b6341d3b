// Normal process termination: every unit flushed, exit handlers run, exit
// status 0, and no text of its own.
#ifndef CXFUN_RUNTIME_TERMINATION_H
#define CXFUN_RUNTIME_TERMINATION_H

namespace cxfun {

[[noreturn]] void stop_process();

}  // namespace cxfun

#endif
