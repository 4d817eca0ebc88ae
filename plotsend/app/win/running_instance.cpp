#include "app/win/running_instance.h"

#include "app/texts.h"
#include "ui/win32/dialog_window.h"

namespace plotsend::win32 {
namespace {

struct WindowSearch {
  DWORD pid;
  const std::wstring* title;
  HWND titled = nullptr;
  HWND first = nullptr;
};

BOOL CALLBACK Consider(HWND window, LPARAM lParam) {
  auto* search = reinterpret_cast<WindowSearch*>(lParam);
  DWORD pid = 0;
  GetWindowThreadProcessId(window, &pid);
  if (pid != search->pid || !IsWindowVisible(window) || GetWindow(window, GW_OWNER) != nullptr) return TRUE;
  wchar_t text[128] = L"";
  GetWindowTextW(window, text, 128);
  if (*search->title == text) {
    search->titled = window;
    return FALSE;
  }
  if (search->first == nullptr) search->first = window;
  return TRUE;
}

}  // namespace

HWND FindProcessWindow(uint32_t pid, const std::wstring& title) {
  if (pid == 0) return nullptr;
  WindowSearch search{pid, &title};
  EnumWindows(Consider, reinterpret_cast<LPARAM>(&search));
  return search.titled != nullptr ? search.titled : search.first;
}

void PointAtRunningInstance(uint32_t pid, const std::string& text) {
  MessageBoxW(nullptr, Widen(text).c_str(), L"Plotsend", MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND);
  HWND window = FindProcessWindow(pid, Widen(DialogTitle()));
  if (window == nullptr) return;
  if (IsIconic(window)) ShowWindow(window, SW_RESTORE);
  SetForegroundWindow(GetLastActivePopup(window));
}

}  // namespace plotsend::win32
