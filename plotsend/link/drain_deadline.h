#pragma once
// The deadline of a drain: the time the bytes still queued need at the
// cutter's line speed, plus a margin. Whenever the queue shrank the deadline
// is counted again from then, so a cutter that takes its bytes slowly (flow
// control) is waited for, and one that takes nothing for the margin is not.
#include <chrono>
#include <cstdint>

namespace plotsend {

// Milliseconds `bytes` need at kCutterBaud, 10 bits a byte.
int64_t LineTimeMs(uint64_t bytes);

class DrainDeadline {
 public:
  using Clock = std::chrono::steady_clock;

  // `queued`: what the port holds at the start (0 when it cannot tell).
  DrainDeadline(uint64_t queued, int marginMs, Clock::time_point now);
  // The queue as it is now.
  void Seen(uint64_t queued, Clock::time_point now);
  bool Expired(Clock::time_point now) const { return now >= deadline_; }
  // Milliseconds left, at least 0 and at most `cap`.
  int MsLeft(Clock::time_point now, int cap) const;

 private:
  Clock::time_point DeadlineFor(uint64_t queued, Clock::time_point now) const;

  int marginMs_;
  uint64_t queued_;
  Clock::time_point deadline_;
};

}  // namespace plotsend
