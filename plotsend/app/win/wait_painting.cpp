#include "app/win/wait_painting.h"

#include <windows.h>

namespace plotsend::win32 {

void WaitPainting(int milliseconds) {
  if (milliseconds <= 0) return;
  const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(milliseconds);
  for (ULONGLONG now = GetTickCount64(); now < end; now = GetTickCount64()) {
    MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(end - now), QS_PAINT | QS_TIMER | QS_SENDMESSAGE);
    MSG msg;
    // PeekMessage also delivers the messages sent from other threads.
    while (PeekMessageW(&msg, nullptr, WM_PAINT, WM_PAINT, PM_REMOVE)) DispatchMessageW(&msg);
    while (PeekMessageW(&msg, nullptr, WM_TIMER, WM_TIMER, PM_REMOVE)) DispatchMessageW(&msg);
  }
}

}  // namespace plotsend::win32
