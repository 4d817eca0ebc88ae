#pragma once
// An exclusive lock on a work directory, held for a whole run, so that no
// two programs handle the same job at once. The lock is the file
// plotara.lock in the directory, held open and locked (flock on POSIX,
// LockFileEx on Windows), so the system releases it however the process
// ends. The file itself stays. The holder writes its process id at the start
// of the file, outside the locked range, where a second instance reads it.
#include <cstdint>
#include <string>
#include <string_view>

namespace plotara {

inline constexpr std::string_view kWorkLockName = "plotara.lock";

class WorkLock {
 public:
  enum class State {
    Held,    // this process holds the lock until the object goes
    Busy,    // another process holds it; nothing was changed
    Failed,  // it could not be taken (no such directory, no access)
  };

  // Tries once, without waiting, to lock the directory `dir` (UTF-8, with or
  // without a trailing separator).
  explicit WorkLock(const std::string& dir);
  ~WorkLock();  // releases a held lock
  WorkLock(const WorkLock&) = delete;
  WorkLock& operator=(const WorkLock&) = delete;

  State GetState() const { return state_; }
  // Busy: the process id the holder wrote; 0 when it cannot be read.
  uint32_t HolderProcessId() const { return holder_; }
  // Failed: the system's reason.
  const std::string& Error() const { return error_; }

 private:
  State state_ = State::Failed;
  uintptr_t handle_ = 0;  // the open lock file while Held
  uint32_t holder_ = 0;
  std::string error_;
};

// The process id as the lock file holds it: ten digits and a line end, so a
// later holder overwrites it whole without truncating the file.
std::string FormatHolderId(uint32_t pid);
// The process id at the start of the file's text; 0 when there is none.
uint32_t ParseHolderId(std::string_view text);

}  // namespace plotara
