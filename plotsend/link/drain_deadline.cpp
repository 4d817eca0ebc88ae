#include "link/drain_deadline.h"

#include <algorithm>

#include "link/link_port.h"

namespace plotsend {

int64_t LineTimeMs(uint64_t bytes) {
  // No queue comes near the limit; it only keeps the product in range.
  const uint64_t capped = std::min<uint64_t>(bytes, uint64_t{1} << 40);
  return static_cast<int64_t>(capped * 10 * 1000 / kCutterBaud);
}

DrainDeadline::DrainDeadline(uint64_t queued, int marginMs, Clock::time_point now)
    : marginMs_(std::max(marginMs, 0)), queued_(queued), deadline_(DeadlineFor(queued, now)) {}

DrainDeadline::Clock::time_point DrainDeadline::DeadlineFor(uint64_t queued, Clock::time_point now) const {
  return now + std::chrono::milliseconds(LineTimeMs(queued) + marginMs_);
}

void DrainDeadline::Seen(uint64_t queued, Clock::time_point now) {
  if (queued < queued_) deadline_ = DeadlineFor(queued, now);
  queued_ = queued;
}

int DrainDeadline::MsLeft(Clock::time_point now, int cap) const {
  const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline_ - now).count();
  return static_cast<int>(std::clamp<int64_t>(left, 0, std::max(cap, 0)));
}

}  // namespace plotsend
