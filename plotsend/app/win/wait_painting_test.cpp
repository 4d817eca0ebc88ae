#include "app/win/wait_painting.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>

namespace plotsend::win32 {
namespace {

std::atomic<int> timerTicks = 0;

void CALLBACK CountTick(HWND, UINT, UINT_PTR, DWORD) { ++timerTicks; }

TEST(WaitPainting, WaitsServingTimersWhileInputStaysQueued) {
  MSG msg;
  PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);  // gives the thread its queue
  timerTicks = 0;
  const UINT_PTR timer = SetTimer(nullptr, 0, 20, CountTick);
  ASSERT_NE(timer, 0u);
  ASSERT_TRUE(PostThreadMessageW(GetCurrentThreadId(), WM_KEYDOWN, VK_RETURN, 0));

  const ULONGLONG start = GetTickCount64();
  WaitPainting(300);
  const ULONGLONG took = GetTickCount64() - start;
  KillTimer(nullptr, timer);

  EXPECT_GE(took, 300u);
  EXPECT_LT(took, 3000u);
  EXPECT_GE(timerTicks.load(), 3);
  // The key is still there for the loop that runs after the wait.
  EXPECT_TRUE(PeekMessageW(&msg, nullptr, WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
}

TEST(WaitPainting, NothingToWaitForReturnsAtOnce) {
  const ULONGLONG start = GetTickCount64();
  WaitPainting(0);
  WaitPainting(-5);
  EXPECT_LT(GetTickCount64() - start, 100u);
}

}  // namespace
}  // namespace plotsend::win32
