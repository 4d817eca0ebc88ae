// A test helper: tries to lock the work directory given as its argument and
// prints what it found: "held", "busy PID" or "failed REASON".
#include <cstdio>

#include "common/work_lock.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fputs("usage: work_lock_probe DIR\n", stderr);
    return 2;
  }
  const plotara::WorkLock lock(argv[1]);
  switch (lock.GetState()) {
    case plotara::WorkLock::State::Held: std::puts("held"); break;
    case plotara::WorkLock::State::Busy: std::printf("busy %u\n", static_cast<unsigned>(lock.HolderProcessId())); break;
    case plotara::WorkLock::State::Failed: std::printf("failed %s\n", lock.Error().c_str()); break;
  }
  return 0;
}
