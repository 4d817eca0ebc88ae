#pragma once
// Reads jobs from a listening socket or a pseudo-terminal into a session,
// with the idle time-out and the test limits.
#include <chrono>
#include <cstdint>
#include <optional>

#include "cutter-emu/posix/unique_fd.h"
#include "cutter-emu/session.h"

namespace cutter_emu {

class IdleClock {
 public:
  explicit IdleClock(std::optional<double> seconds);
  void Touch();
  bool Expired() const;
  int PollTimeoutMs() const;  // -1 without a time-out

 private:
  std::optional<std::chrono::steady_clock::duration> limit_;
  std::chrono::steady_clock::time_point last_;
};

// Everything a receive loop waits on besides its link: `stop` becomes
// readable when the emulator is told to stop; with a `readRate` each link is
// read at most that many bytes a second.
struct Waits {
  IdleClock& clock;
  int stop = -1;
  std::optional<uint64_t> readRate;
};

// Accepts connections one after another until the session is done; a
// sender that leaves between jobs may come back on a new connection.
void ReceiveTcp(const UniqueFd& listener, Session& session, Waits waits);
// Reads the pty until the session is done; closes it when the session
// drops the link. A sender may close and reopen the slave between jobs.
void ReceivePty(UniqueFd& master, Session& session, Waits waits);

// A descriptor that becomes readable on SIGINT or SIGTERM, which no longer
// end the process.
UniqueFd OpenStopSignals();

}  // namespace cutter_emu
