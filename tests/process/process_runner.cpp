#include "process_runner.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <stdexcept>

namespace cxfun::testing {
namespace {

void make_pipe(int fds[2]) {
  if (pipe2(fds, O_CLOEXEC) != 0) throw std::runtime_error("pipe failed");
}

}  // namespace

ProcessResult run_process(const std::vector<std::string>& argv, const std::string& input,
                          const std::string& working_directory) {
  // A child that ends before reading all its input must not kill the test.
  std::signal(SIGPIPE, SIG_IGN);
  int in[2], out[2], err[2];
  make_pipe(in);
  make_pipe(out);
  make_pipe(err);
  const pid_t pid = fork();
  if (pid < 0) throw std::runtime_error("fork failed");
  if (pid == 0) {
    dup2(in[0], 0);
    dup2(out[1], 1);
    dup2(err[1], 2);
    if (!working_directory.empty() && chdir(working_directory.c_str()) != 0) _exit(127);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    execv(args[0], args.data());
    _exit(127);
  }
  close(in[0]);
  close(out[1]);
  close(err[1]);

  ProcessResult result;
  std::size_t written = 0;
  int in_fd = in[1];
  if (input.empty()) {
    close(in_fd);
    in_fd = -1;
  }
  int open_outputs = 2;
  while (open_outputs > 0 || in_fd >= 0) {
    pollfd fds[3] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}, {in_fd, POLLOUT, 0}};
    poll(fds, in_fd >= 0 ? 3 : 2, -1);
    for (int i = 0; i < 2; ++i) {
      if (fds[i].fd < 0 || fds[i].revents == 0) continue;
      char buffer[4096];
      const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
      if (n > 0) {
        (i == 0 ? result.out : result.err).append(buffer, static_cast<std::size_t>(n));
      } else {
        close(fds[i].fd);
        (i == 0 ? out[0] : err[0]) = -1;
        --open_outputs;
      }
    }
    if (in_fd >= 0 && fds[2].revents != 0) {
      const ssize_t n = write(in_fd, input.data() + written, input.size() - written);
      if (n > 0) written += static_cast<std::size_t>(n);
      if (n <= 0 || written == input.size()) {
        close(in_fd);
        in_fd = -1;
      }
    }
  }
  int status = 0;
  waitpid(pid, &status, 0);
  result.exit_status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  return result;
}

std::string visible(const std::string& bytes) {
  std::string text;
  for (unsigned char c : bytes) {
    if (c == '\n') {
      text += "\\n\n";
    } else if (c == '\r') {
      text += "\\r";
    } else if (c < 32 || c > 126) {
      char escaped[8];
      std::snprintf(escaped, sizeof escaped, "\\x%02x", c);
      text += escaped;
    } else {
      text += static_cast<char>(c);
    }
  }
  return text;
}

}  // namespace cxfun::testing
