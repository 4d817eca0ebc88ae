// The end of a job on a Win32 device: its transmit queue drained and its
// buffers flushed, within the drain deadline.
#include <algorithm>
#include <chrono>
#include <climits>

#include "link/drain_deadline.h"
#include "link/win32/win_link.h"

namespace plotsend {
namespace {

using Clock = std::chrono::steady_clock;

// How often a serial port's transmit queue is looked at while it drains.
constexpr int kQueuePollMs = 10;
// How long a cancelled flush is given to return.
constexpr int kCancelGraceMs = 1000;

bool IsSet(HANDLE event) { return event != nullptr && WaitForSingleObject(event, 0) == WAIT_OBJECT_0; }

// Waits for `event` (null: none) at most waitMs; true when it is set.
bool WaitSet(HANDLE event, int waitMs) {
  if (event == nullptr) {
    Sleep(static_cast<DWORD>(waitMs));
    return false;
  }
  return WaitForSingleObject(event, static_cast<DWORD>(waitMs)) == WAIT_OBJECT_0;
}

struct FlushCall {
  HANDLE device;
  BOOL ok = FALSE;
  DWORD error = 0;
};

DWORD WINAPI RunFlush(void* param) {
  auto* call = static_cast<FlushCall*>(param);
  call->ok = FlushFileBuffers(call->device);
  call->error = call->ok ? 0 : GetLastError();
  return 0;
}

// FlushFileBuffers on a thread of its own, so that it can be given a
// deadline and be cancelled (CancelSynchronousIo).
bool FlushWithin(HANDLE h, HANDLE abort, int waitMs) {
  auto* call = new FlushCall{h};
  const HANDLE thread = CreateThread(nullptr, 0, RunFlush, call, 0, nullptr);
  if (thread == nullptr) {
    delete call;
    return false;
  }
  const HANDLE waits[2] = {thread, abort};
  if (WaitForMultipleObjects(abort != nullptr ? 2 : 1, waits, FALSE, static_cast<DWORD>(waitMs)) != WAIT_OBJECT_0) {
    // The flush may not have begun when the first cancel comes: ask again.
    bool ended = false;
    for (int waited = 0; !ended && waited < kCancelGraceMs; waited += kQueuePollMs) {
      CancelSynchronousIo(thread);
      ended = WaitForSingleObject(thread, kQueuePollMs) == WAIT_OBJECT_0;
    }
    CloseHandle(thread);
    if (ended) delete call;  // else the thread still uses it, and keeps it
    return false;
  }
  CloseHandle(thread);
  // A driver without buffers of its own does not implement the flush.
  const bool ok = call->ok || call->error == ERROR_INVALID_FUNCTION || call->error == ERROR_NOT_SUPPORTED;
  delete call;
  return ok;
}

}  // namespace

bool DrainDevice(HANDLE h, HANDLE abort, int marginMs) {
  if (h == nullptr || h == INVALID_HANDLE_VALUE || IsSet(abort)) return false;
  DWORD errors = 0;
  COMSTAT status{};
  DrainDeadline deadline(0, marginMs, Clock::now());
  if (ClearCommError(h, &errors, &status)) {  // a serial port: its transmit queue first
    deadline = DrainDeadline(status.cbOutQue, marginMs, Clock::now());
    while (status.cbOutQue > 0) {
      if (deadline.Expired(Clock::now())) return false;
      if (WaitSet(abort, deadline.MsLeft(Clock::now(), kQueuePollMs))) return false;
      if (!ClearCommError(h, &errors, &status)) return false;
      deadline.Seen(status.cbOutQue, Clock::now());
    }
  }
  return FlushWithin(h, abort, deadline.MsLeft(Clock::now(), INT_MAX));
}

}  // namespace plotsend
