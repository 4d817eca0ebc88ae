#pragma once
// What the worker threads hand to the user-interface thread: the latest
// status text, a new progress range and the progress steps since. A worker
// never waits for the user-interface thread (which joins it when the window
// goes): it stores here under a short lock and posts one wake-up message
// while none is outstanding; the user-interface thread takes it all at once.
#include <cstdint>
#include <mutex>
#include <optional>
#include <string>

namespace plotsend::win32 {

struct ProgressUpdate {
  std::optional<std::string> statusText;  // the latest text, when one came
  std::optional<uint32_t> range;          // a new range (position back to 0), when one came
  uint32_t steps = 0;                     // steps after that range, or since the last take

  bool Empty() const { return !statusText && !range && steps == 0; }
};

class PendingUpdates {
 public:
  // Each store returns true when the caller is to post the wake-up message.
  bool SetStatusText(std::string text);
  bool SetRange(uint32_t range);
  bool Step();
  // Everything stored since the last take; the next store asks for a wake-up.
  ProgressUpdate Take();
  // The wake-up could not be posted: the next store asks again.
  void WakeUpLost();

 private:
  bool NeedsWakeUp();  // with the lock held

  std::mutex mutex_;
  ProgressUpdate pending_;
  bool wakeUpOutstanding_ = false;
};

}  // namespace plotsend::win32
