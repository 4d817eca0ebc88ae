#include "installer/posix/posix_child_process.h"

#include <fcntl.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>

#include "installer/posix/windows_command_line.h"

extern char** environ;

namespace barsetup {
namespace {

bool IsWindowsAbsolute(const std::string& arg) {
  return arg.size() >= 3 && arg[1] == ':' && (arg[2] == '\\' || arg[2] == '/') &&
         ((arg[0] >= 'a' && arg[0] <= 'z') || (arg[0] >= 'A' && arg[0] <= 'Z'));
}

bool IsPath(const std::string& arg) { return IsWindowsAbsolute(arg) || arg.starts_with("/"); }

bool IsBareArchiverName(const std::string& word) {
  if (word.size() != 6) return false;
  std::string lower = word;
  for (char& c : lower) c = c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
  return lower == "7z.exe";
}

// Reads the pipe until every writer has closed it; the output is dropped.
void Drain(int fd) {
  char buffer[4096];
  for (;;) {
    const ssize_t n = read(fd, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
  }
}

ChildRun Wait(pid_t pid) {
  ChildRun run{true, false, 0};
  int status = 0;
  pid_t got;
  do {
    got = waitpid(pid, &status, 0);
  } while (got < 0 && errno == EINTR);
  if (got != pid) return run;
  run.exitKnown = WIFEXITED(status) || WIFSIGNALED(status);
  run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  return run;
}

}  // namespace

std::vector<std::string> PosixChildProcess::NativeArguments(const std::string& commandLine) const {
  std::vector<std::string> args = SplitWindowsCommandLine(commandLine);
  if (args.empty()) return args;
  std::string native;
  if (IsBareArchiverName(args[0])) {
    args[0] = "7z";
  } else if (IsPath(args[0]) && prefix_.ToNative(args[0], &native)) {
    args[0] = native;
  }
  for (size_t i = 1; i < args.size(); ++i) {
    std::string& arg = args[i];
    if (IsPath(arg) && prefix_.ToNative(arg, &native)) {
      arg = native;
    } else if (arg.starts_with("-o") && IsPath(arg.substr(2)) && prefix_.ToNative(arg.substr(2), &native)) {
      arg = "-o" + native;
    }
  }
  return args;
}

ChildRun PosixChildProcess::Run(const std::string& commandLine) {
  std::vector<std::string> args = NativeArguments(commandLine);
  if (args.empty()) return {};
  std::vector<char*> argv;
  argv.reserve(args.size() + 1);
  for (std::string& arg : args) argv.push_back(arg.data());
  argv.push_back(nullptr);

  int fds[2];
  if (pipe2(fds, O_CLOEXEC) != 0) return {};
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
  posix_spawn_file_actions_adddup2(&actions, fds[1], 2);
  pid_t pid = 0;
  const bool search = args[0].find('/') == std::string::npos;
  const int rc = search ? posix_spawnp(&pid, argv[0], &actions, nullptr, argv.data(), environ)
                        : posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
  posix_spawn_file_actions_destroy(&actions);
  close(fds[1]);
  if (rc != 0) {
    close(fds[0]);
    return {};
  }
  Drain(fds[0]);
  close(fds[0]);
  return Wait(pid);
}

}  // namespace barsetup
