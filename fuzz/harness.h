// Shared pieces of the fuzz targets: a trap that turns the library's ends of
// the process into returns, a fresh error state for every input, the bytes
// the library printed on standard output during one input, and the checks'
// way of failing.
//
// The trap uses the runtime's test-only process-end hook. The hook longjmps
// back into run_trapped(), skipping the frames of the routines that were
// active, exactly as a real end of the process would have left them. The
// error state is then stale, so every input starts from the state a fresh
// process has after its first set-up.
#ifndef CXFUN_FUZZ_HARNESS_H
#define CXFUN_FUZZ_HARNESS_H

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "errors/error_state.h"
#include "runtime/termination.h"

namespace cxfun::fuzz {

// Reports a broken expectation and aborts, so that libFuzzer keeps the input.
[[noreturn]] inline void fail(const char* what, const std::string& detail = "") {
  std::fprintf(stderr, "\ncxfun fuzz check failed: %s\n", what);
  std::fwrite(detail.data(), 1, detail.size(), stderr);  // NUL bytes included
  std::fputc('\n', stderr);
  std::fflush(stderr);
  std::abort();
}

inline void check(bool ok, const char* what, const std::string& detail = "") {
  if (!ok) fail(what, detail);
}

// How one trapped run went.
struct Outcome {
  bool ended = false;  // the library ended the process
  ProcessEnd end{};    // how, when it did
};

inline std::jmp_buf g_trap;
inline ProcessEnd g_trapped_end;

[[noreturn]] inline void trap_process_end(const ProcessEnd& end) {
  g_trapped_end = end;
  std::longjmp(g_trap, 1);
}

// Runs body(); an end of the process inside it comes back as the outcome.
// Kept out of line, so that the frame holding the jump target is this one.
template <class Body>
[[gnu::noinline]] Outcome run_trapped(Body&& body) {
  set_process_end_hook_for_testing(&trap_process_end);
  if (setjmp(g_trap) == 0) {
    body();
    return {};
  }
  return {true, g_trapped_end};
}

// The error state right after its one-time set-up, as every input sees it.
inline ErrorState g_fresh_state;

// Standard output goes to an unlinked temporary file opened for appending;
// printed_bytes() takes what one input printed and empties the file.
inline int g_output_fd = -1;

inline void set_up_harness() {
  ERINIT();
  g_fresh_state = g_error_state;

  char path[] = "/tmp/cxfun-fuzz-stdout-XXXXXX";
  const int fd = mkstemp(path);
  if (fd < 0) fail("cannot create the capture file for standard output");
  unlink(path);
  if (fcntl(fd, F_SETFL, O_APPEND) != 0 || dup2(fd, STDOUT_FILENO) < 0) {
    fail("cannot redirect standard output");
  }
  g_output_fd = fd;
}

inline void restore_fresh_state() { g_error_state = g_fresh_state; }

inline std::string printed_bytes() {
  std::fflush(stdout);
  struct stat info {};
  if (fstat(g_output_fd, &info) != 0) fail("cannot read the capture file");
  std::string bytes(static_cast<std::size_t>(info.st_size), '\0');
  if (!bytes.empty() &&
      pread(g_output_fd, bytes.data(), bytes.size(), 0) != static_cast<ssize_t>(bytes.size())) {
    fail("cannot read the capture file");
  }
  if (ftruncate(g_output_fd, 0) != 0) fail("cannot empty the capture file");
  return bytes;
}

// Splits printed bytes into lines; false unless every record ends with a
// line feed.
inline bool split_lines(const std::string& bytes, std::vector<std::string>& lines) {
  lines.clear();
  std::size_t start = 0;
  while (start < bytes.size()) {
    const std::size_t end = bytes.find('\n', start);
    if (end == std::string::npos) return false;
    lines.push_back(bytes.substr(start, end - start));
    start = end + 1;
  }
  return true;
}

// Reads consecutive little pieces of a fuzz input; past its end every piece is zero.
class InputReader {
 public:
  InputReader(const unsigned char* data, std::size_t size) : data_(data), size_(size) {}

  unsigned char byte() { return at_ < size_ ? data_[at_++] : 0; }

  template <class T>
  T value() {
    unsigned char bytes[sizeof(T)] = {};
    for (unsigned char& b : bytes) b = byte();
    T v;
    std::memcpy(&v, bytes, sizeof v);
    return v;
  }

  // An integer that is small most of the time, and any 32-bit value sometimes.
  int position() {
    const unsigned char selector = byte();
    if (selector < 224) return static_cast<int>(selector % 48) - 8;
    return value<int>();
  }

  std::size_t remaining() const { return at_ < size_ ? size_ - at_ : 0; }
  const unsigned char* rest() const { return data_ + at_; }
  void skip(std::size_t n) { at_ = n < remaining() ? at_ + n : size_; }

 private:
  const unsigned char* data_;
  std::size_t size_;
  std::size_t at_ = 0;
};

}  // namespace cxfun::fuzz

#endif
