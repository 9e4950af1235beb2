// Runs a program to its end without a shell in between, as the benchmarks
// time it: its standard output appended to `out` when given, else thrown
// away. True when it exited with status 0.
#pragma once

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
#include <vector>

extern char** environ;

inline bool RunProgram(const std::vector<std::string>& argv,
                       std::string* out = nullptr) {
  int fds[2] = {-1, -1};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  if (out != nullptr && pipe(fds) == 0) {
    posix_spawn_file_actions_adddup2(&actions, fds[1], STDOUT_FILENO);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
  } else {
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", 0,
                                     0);
  }
  std::vector<char*> args;
  for (const auto& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  pid_t pid = 0;
  const int rc =
      posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (fds[1] >= 0) close(fds[1]);
  char buffer[65536];
  for (ssize_t n;
       out && rc == 0 && (n = read(fds[0], buffer, sizeof buffer)) > 0;) {
    out->append(buffer, static_cast<std::size_t>(n));
  }
  if (fds[0] >= 0) close(fds[0]);
  int status = 0;
  return rc == 0 && waitpid(pid, &status, 0) == pid && WIFEXITED(status) &&
         WEXITSTATUS(status) == 0;
}
