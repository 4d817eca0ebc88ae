#include "cutter-emu/posix/receive_loop.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

namespace cutter_emu {
namespace {

using Clock = std::chrono::steady_clock;

constexpr size_t kReadSize = 4096;
constexpr int kSlaveWaitMs = 20;     // how often a closed pty is looked at again
constexpr int kMaxDrainReads = 256;  // what a stop still takes in: at most 1 MiB

enum class LinkEnd { Over, PeerLeft, Finished };

// Paces the reads of one link to a rate: how much may be read now, or how
// long to wait before the next byte may be.
class ReadPacer {
 public:
  explicit ReadPacer(std::optional<uint64_t> bytesPerSecond) : rate_(bytesPerSecond), start_(Clock::now()) {}

  // At most `want`; 0 with `waitMs` set when nothing may be read yet.
  size_t Allowed(size_t want, int& waitMs) const {
    if (!rate_) return want;
    const auto elapsedMs = std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_).count();
    const uint64_t due = *rate_ * static_cast<uint64_t>(elapsedMs) / 1000;
    if (due > taken_) return static_cast<size_t>(std::min<uint64_t>(want, due - taken_));
    const uint64_t nextMs = (taken_ + 1) * 1000 / *rate_ + 1;
    waitMs = static_cast<int>(std::clamp<int64_t>(static_cast<int64_t>(nextMs) - elapsedMs, 1, 1000));
    return 0;
  }
  void Took(size_t n) { taken_ += n; }

 private:
  std::optional<uint64_t> rate_;
  Clock::time_point start_;
  uint64_t taken_ = 0;
};
enum class Wake { Ready, Idle, Stop, Error };

// Waits for `events` on fd (0: only its hang-up) or the stop signal, at most
// `timeoutMs` (-1: no limit).
Wake WaitFor(int fd, short events, int stop, int timeoutMs, short& revents) {
  for (;;) {
    pollfd p[2] = {{fd, events, 0}, {stop, POLLIN, 0}};
    const int r = ::poll(p, stop >= 0 ? 2 : 1, timeoutMs);
    if (r < 0 && errno == EINTR) continue;
    if (r < 0) return Wake::Error;
    if (r == 0) return Wake::Idle;
    if (stop >= 0 && (p[1].revents & POLLIN)) return Wake::Stop;
    revents = p[0].revents;
    return Wake::Ready;
  }
}

// Waits, without reading, until the peer goes away, the idle time is up or
// the emulator is told to stop.
JobStatus WaitForHangup(int fd, bool pty, const Waits& w) {
  for (;;) {
    short revents = 0;
    switch (WaitFor(fd, pty ? 0 : POLLRDHUP, w.stop, w.clock.PollTimeoutMs(), revents)) {
      case Wake::Stop: return JobStatus::Interrupted;
      case Wake::Error: return JobStatus::Stalled;
      case Wake::Idle:
        if (w.clock.Expired()) return JobStatus::Stalled;
        break;
      case Wake::Ready:
        if (revents & (POLLRDHUP | POLLHUP | POLLERR)) return JobStatus::Stalled;
        break;
    }
  }
}

// Takes in what has already arrived when the emulator is told to stop.
void DrainQueued(int fd, Session& session, char* buffer, size_t size) {
  for (int i = 0; i < kMaxDrainReads && session.State() == Session::Next::Read; ++i) {
    pollfd p{fd, POLLIN, 0};
    if (::poll(&p, 1, 0) != 1 || !(p.revents & POLLIN)) return;
    const ssize_t n = ::read(fd, buffer, session.Allowance(size));
    if (n <= 0) return;
    session.Receive(std::string_view(buffer, static_cast<size_t>(n)));
  }
}

// Reads one link until the session is done or the link ends. On a pty, the
// slave being closed while no job is open means waiting for it to reopen.
LinkEnd Serve(int fd, bool pty, Session& session, const Waits& w) {
  char buffer[kReadSize];
  ReadPacer pacer(w.readRate);
  for (;;) {
    switch (session.State()) {
      case Session::Next::Done: return LinkEnd::Finished;
      case Session::Next::Drop: session.EndConnection(JobStatus::Dropped); return LinkEnd::Over;
      case Session::Next::Stall: session.EndConnection(WaitForHangup(fd, pty, w)); return LinkEnd::Over;
      case Session::Next::Read: break;
    }
    short revents = 0;
    int paceMs = 0;
    const size_t allowed = pacer.Allowed(session.Allowance(sizeof buffer), paceMs);
    if (allowed == 0 && paceMs > 0) {
      if (WaitFor(w.stop, POLLIN, -1, paceMs, revents) == Wake::Ready) {
        DrainQueued(fd, session, buffer, sizeof buffer);
        session.EndConnection(JobStatus::Interrupted);
        return LinkEnd::Over;
      }
      w.clock.Touch();  // waiting for the rate is not being idle
      continue;
    }
    const Wake wake = WaitFor(fd, POLLIN, w.stop, w.clock.PollTimeoutMs(), revents);
    if (wake == Wake::Stop) {
      DrainQueued(fd, session, buffer, sizeof buffer);
      session.EndConnection(JobStatus::Interrupted);
      return LinkEnd::Over;
    }
    if (wake == Wake::Idle) {
      if (!w.clock.Expired()) continue;
      session.EndConnection(JobStatus::Timeout);
      return LinkEnd::Over;
    }
    const ssize_t n = wake == Wake::Error ? -1 : ::read(fd, buffer, allowed);
    if (n > 0) {
      pacer.Took(static_cast<size_t>(n));
      w.clock.Touch();
      session.Receive(std::string_view(buffer, static_cast<size_t>(n)));
      continue;
    }
    if (n < 0 && (errno == EINTR || errno == EAGAIN)) continue;
    if (pty && !session.JobOpen()) {
      if (w.clock.Expired()) {
        session.GiveUp(JobStatus::Timeout);
        return LinkEnd::Over;
      }
      if (WaitFor(w.stop, POLLIN, -1, kSlaveWaitMs, revents) == Wake::Ready) {
        session.GiveUp(JobStatus::Interrupted);
        return LinkEnd::Over;
      }
      continue;
    }
    // End of file, a reset connection, or (pty) the slave closed mid-job.
    return session.EndConnection(JobStatus::Closed) ? LinkEnd::PeerLeft : LinkEnd::Over;
  }
}

// A stop while waiting for a connection: one that is already queued still
// hands over what it sent.
void StopWhileListening(int listener, Session& session) {
  pollfd p{listener, POLLIN, 0};
  if (::poll(&p, 1, 0) == 1) {
    UniqueFd connection(::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC));
    if (connection) {
      char buffer[kReadSize];
      session.BeginConnection();
      DrainQueued(connection.Get(), session, buffer, sizeof buffer);
      session.EndConnection(JobStatus::Interrupted);
    }
  }
  session.GiveUp(JobStatus::Interrupted);
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

void ReceiveTcp(const UniqueFd& listener, Session& session, Waits w) {
  while (!session.Done()) {
    short revents = 0;
    switch (WaitFor(listener.Get(), POLLIN, w.stop, w.clock.PollTimeoutMs(), revents)) {
      case Wake::Stop: StopWhileListening(listener.Get(), session); return;
      case Wake::Error: session.GiveUp(JobStatus::Timeout); return;
      case Wake::Idle:
        if (w.clock.Expired()) {
          session.GiveUp(JobStatus::Timeout);
          return;
        }
        continue;
      case Wake::Ready: break;
    }
    UniqueFd connection(::accept4(listener.Get(), nullptr, nullptr, SOCK_CLOEXEC));
    if (!connection) continue;
    w.clock.Touch();
    session.BeginConnection();
    if (Serve(connection.Get(), false, session, w) != LinkEnd::PeerLeft) return;
  }
}

void ReceivePty(UniqueFd& master, Session& session, Waits w) {
  session.BeginConnection();
  // A cutter stays attached after its jobs: closing the master at once would
  // hang up the sender while it still waits for its port to drain.
  if (Serve(master.Get(), true, session, w) == LinkEnd::Finished) WaitForHangup(master.Get(), true, w);
  master.Reset();
}

UniqueFd OpenStopSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGTERM);
  if (::sigprocmask(SIG_BLOCK, &set, nullptr) != 0) return UniqueFd();
  return UniqueFd(::signalfd(-1, &set, SFD_CLOEXEC));
}

}  // namespace cutter_emu
