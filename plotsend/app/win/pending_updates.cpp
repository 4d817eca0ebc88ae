#include "app/win/pending_updates.h"

#include <utility>

namespace plotsend::win32 {

bool PendingUpdates::NeedsWakeUp() {
  if (wakeUpOutstanding_) return false;
  wakeUpOutstanding_ = true;
  return true;
}

bool PendingUpdates::SetStatusText(std::string text) {
  std::lock_guard lock(mutex_);
  pending_.statusText = std::move(text);
  return NeedsWakeUp();
}

bool PendingUpdates::SetRange(uint32_t range) {
  std::lock_guard lock(mutex_);
  pending_.range = range;
  pending_.steps = 0;  // a new range starts the bar again at 0
  return NeedsWakeUp();
}

bool PendingUpdates::Step() {
  std::lock_guard lock(mutex_);
  if (pending_.steps != UINT32_MAX) ++pending_.steps;
  return NeedsWakeUp();
}

ProgressUpdate PendingUpdates::Take() {
  std::lock_guard lock(mutex_);
  wakeUpOutstanding_ = false;
  return std::exchange(pending_, ProgressUpdate{});
}

void PendingUpdates::WakeUpLost() {
  std::lock_guard lock(mutex_);
  wakeUpOutstanding_ = false;
}

}  // namespace plotsend::win32
