#pragma once
// SIGINT, SIGTERM and SIGHUP for the whole run, taken by one watcher thread
// (every other thread has them blocked). While Cancel is armed, SIGINT
// presses it; otherwise any of them removes the temporary files of the
// writers in flight, so that an interrupted export leaves nothing behind,
// and then ends the process by the same signal.
#include <atomic>
#include <memory>

namespace plotsend {

class Interrupts {
 public:
  // Before any other thread starts: threads inherit the blocked signals.
  Interrupts();
  Interrupts(const Interrupts&) = delete;
  Interrupts& operator=(const Interrupts&) = delete;

  // While on, SIGINT presses Cancel instead of ending the process.
  void ArmCancel(bool on) { state_->cancelArmed = on; }
  // Whether SIGINT pressed Cancel since the last call.
  bool TakeCancel() { return state_->cancel.exchange(false); }

 private:
  struct State {
    std::atomic<bool> cancelArmed = false;
    std::atomic<bool> cancel = false;
  };
  // Shared with the watcher, which lives until the process ends.
  std::shared_ptr<State> state_ = std::make_shared<State>();
};

}  // namespace plotsend
