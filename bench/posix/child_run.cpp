#include "bench/child_run.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>

extern char** environ;

namespace plotsend {

ChildRun RunChild(const std::vector<std::string>& argv) {
  ChildRun run;
  std::vector<char*> args;
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
  posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
  const auto t0 = std::chrono::steady_clock::now();
  pid_t pid = 0;
  const int started = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  if (started != 0) return run;
  int status = 0;
  rusage usage{};
  pid_t done = 0;
  do {
    done = wait4(pid, &status, 0, &usage);
  } while (done < 0 && errno == EINTR);
  run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count();
  run.ok = done == pid && WIFEXITED(status) && WEXITSTATUS(status) == 0;
  run.peakRss = static_cast<int64_t>(usage.ru_maxrss) * 1024;  // kilobytes on Linux
  return run;
}

}  // namespace plotsend
