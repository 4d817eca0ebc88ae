#include "app/cli/interrupts.h"

#include <pthread.h>
#include <unistd.h>

#include <csignal>
#include <thread>

#include "job/file_io.h"

namespace plotsend {
namespace {

// The signals to watch: those the process was not started ignoring (as
// nohup or a shell's background job leave SIGHUP or SIGINT), which stay so.
sigset_t WatchedSignals() {
  sigset_t set;
  sigemptyset(&set);
  for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
    struct sigaction action {};
    if (sigaction(signal, nullptr, &action) == 0 && action.sa_handler == SIG_IGN) continue;
    sigaddset(&set, signal);
  }
  return set;
}

// Ends the process as the signal would have: its default action, so that
// the shell sees the same status as without the watcher.
[[noreturn]] void EndBy(int signal) {
  std::signal(signal, SIG_DFL);
  sigset_t only;
  sigemptyset(&only);
  sigaddset(&only, signal);
  pthread_sigmask(SIG_UNBLOCK, &only, nullptr);
  raise(signal);
  _exit(128 + signal);
}

}  // namespace

Interrupts::Interrupts() {
  const sigset_t set = WatchedSignals();
  pthread_sigmask(SIG_BLOCK, &set, nullptr);
  std::thread([state = state_, set] {
    for (;;) {
      int signal = 0;
      if (sigwait(&set, &signal) != 0) continue;
      if (signal == SIGINT && state->cancelArmed) {
        state->cancel = true;
        continue;
      }
      RemoveTempFilesAndStopWriters();
      EndBy(signal);
    }
  }).detach();
}

}  // namespace plotsend
