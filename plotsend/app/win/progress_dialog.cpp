#include "app/win/progress_dialog.h"

#include <commctrl.h>

namespace plotsend::win32 {
namespace {

constexpr int kBar = 1000;
constexpr UINT_PTR kTimer = 1;
constexpr UINT kTickMs = 100;
constexpr int kRange = 50;
constexpr int kFirstStep = 2;
constexpr int kSlowFrom = 45;  // past this position the bar steps by 1

}  // namespace

bool DoPltFileProgress::OnInitDialog() {
  ShowWindow(Handle(), SW_SHOW);
  SetWindowPos(Handle(), nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
  SendControl(kBar, PBM_SETRANGE32, 0, kRange);
  SendControl(kBar, PBM_SETSTEP, kFirstStep);
  SendControl(kBar, PBM_SETPOS, 0);
  StartTimer(kTimer, kTickMs);
  return true;
}

// PBM_STEPIT wraps to the start past the end of the range.
void DoPltFileProgress::OnTimer(UINT_PTR id) {
  if (id != kTimer) return;
  SendControl(kBar, PBM_STEPIT);
  if (SendControl(kBar, PBM_GETPOS) > kSlowFrom) SendControl(kBar, PBM_SETSTEP, 1);
}

}  // namespace plotsend::win32
