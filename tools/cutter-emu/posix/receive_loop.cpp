#include "receive_loop.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace cutter_emu {
namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kReadSize = 4096;
constexpr int kSlaveWaitMs = 20;  // how often a closed pty is looked at again

enum class LinkEnd { Over, PeerLeft };

// Waits, without reading, until the peer goes away or the idle time is up.
void WaitForHangup(int fd, bool pty, const IdleClock& clock) {
  for (;;) {
    pollfd p{fd, static_cast<short>(pty ? 0 : POLLRDHUP), 0};
    const int r = ::poll(&p, 1, clock.PollTimeoutMs());
    if (r < 0 && errno == EINTR) continue;
    if (r < 0 || (r > 0 && (p.revents & (POLLRDHUP | POLLHUP | POLLERR)))) return;
    if (r == 0 && clock.Expired()) return;
  }
}

// Reads one link until the session is done or the link ends. On a pty, the
// slave being closed while no job is open means waiting for it to reopen.
LinkEnd Serve(int fd, bool pty, Session& session, IdleClock& clock) {
  char buffer[kReadSize];
  for (;;) {
    switch (session.State()) {
      case Session::Next::Done: return LinkEnd::Over;
      case Session::Next::Drop: session.EndConnection(JobStatus::Dropped); return LinkEnd::Over;
      case Session::Next::Stall:
        WaitForHangup(fd, pty, clock);
        session.EndConnection(JobStatus::Stalled);
        return LinkEnd::Over;
      case Session::Next::Read: break;
    }
    pollfd p{fd, POLLIN, 0};
    const int r = ::poll(&p, 1, clock.PollTimeoutMs());
    if (r < 0 && errno == EINTR) continue;
    if (r == 0) {
      if (!clock.Expired()) continue;
      session.EndConnection(JobStatus::Timeout);
      return LinkEnd::Over;
    }
    const ssize_t n = r < 0 ? -1 : ::read(fd, buffer, session.Allowance(sizeof buffer));
    if (n > 0) {
      clock.Touch();
      session.Receive(std::string_view(buffer, static_cast<size_t>(n)));
      continue;
    }
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (pty && !session.JobOpen()) {
      if (clock.Expired()) {
        session.GiveUp(JobStatus::Timeout);
        return LinkEnd::Over;
      }
      ::poll(nullptr, 0, kSlaveWaitMs);
      continue;
    }
    // End of file, a reset connection, or (pty) the slave closed mid-job.
    return session.EndConnection(JobStatus::Closed) ? LinkEnd::PeerLeft : LinkEnd::Over;
  }
}

}  // namespace

IdleClock::IdleClock(std::optional<double> seconds) : last_(Clock::now()) {
  if (seconds) {
    limit_ = std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(*seconds));
  }
}

void IdleClock::Touch() { last_ = Clock::now(); }

bool IdleClock::Expired() const { return limit_ && Clock::now() - last_ >= *limit_; }

int IdleClock::PollTimeoutMs() const {
  if (!limit_) return -1;
  const auto left = *limit_ - (Clock::now() - last_);
  const auto ms = std::chrono::ceil<std::chrono::milliseconds>(left).count();
  return static_cast<int>(std::clamp<decltype(ms)>(ms, 0, 60 * 60 * 1000));
}

void ReceiveTcp(const UniqueFd& listener, Session& session, IdleClock& clock) {
  while (!session.Done()) {
    pollfd p{listener.Get(), POLLIN, 0};
    const int r = ::poll(&p, 1, clock.PollTimeoutMs());
    if (r < 0 && errno == EINTR) continue;
    if (r < 0 || (r == 0 && clock.Expired())) {
      session.GiveUp(JobStatus::Timeout);
      return;
    }
    if (r == 0) continue;
    UniqueFd connection(::accept4(listener.Get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (!connection) continue;
    clock.Touch();
    session.BeginConnection();
    if (Serve(connection.Get(), false, session, clock) == LinkEnd::Over) return;
  }
}

void ReceivePty(UniqueFd& master, Session& session, IdleClock& clock) {
  session.BeginConnection();
  Serve(master.Get(), true, session, clock);
  master.Reset();
}

}  // namespace cutter_emu
