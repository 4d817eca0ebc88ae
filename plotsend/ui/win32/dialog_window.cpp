#include "ui/win32/dialog_window.h"

#include "common/win32/wide_text.h"

namespace plotsend::win32 {

std::wstring Widen(const std::string& utf8) { return plotara::ToWideForDisplay(utf8); }

std::string Narrow(const std::wstring& text) { return plotara::ToUtf8(text); }

DialogWindow::~DialogWindow() { Destroy(); }

bool DialogWindow::Create(HWND owner) {
  ended_ = false;
  hwnd_ = nullptr;
  // DialogProc stores the handle at WM_INITDIALOG, so that the handlers can
  // use the controls there.
  HWND hwnd = CreateDialogParamW(GetModuleHandleW(nullptr), MAKEINTRESOURCEW(templateId_), owner, DialogProc,
                                 reinterpret_cast<LPARAM>(this));
  if (hwnd == nullptr) return false;
  hwnd_ = hwnd;
  return true;
}

INT_PTR DialogWindow::RunModal(HWND owner) {
  modal_ = true;
  const bool ownerWasEnabled = owner != nullptr && IsWindowEnabled(owner);
  if (ownerWasEnabled) EnableWindow(owner, FALSE);
  if (!Create(owner)) {
    if (ownerWasEnabled) EnableWindow(owner, TRUE);
    modal_ = false;
    return -1;
  }
  if (!ended_) ShowWindow(hwnd_, SW_SHOW);
  MSG msg;
  bool quit = false;
  while (!ended_ && hwnd_ != nullptr) {
    const BOOL got = GetMessageW(&msg, nullptr, 0, 0);
    if (got == 0 || got == -1) {
      quit = got == 0;
      break;
    }
    if (PreTranslateMessage(msg)) continue;
    if (IsDialogMessageW(hwnd_, &msg)) continue;
    TranslateMessage(&msg);
    DispatchMessageW(&msg);
  }
  // Re-enabled before the dialog goes, so that the owner gets the activation.
  if (ownerWasEnabled) EnableWindow(owner, TRUE);
  Destroy();
  modal_ = false;
  if (quit) PostQuitMessage(static_cast<int>(msg.wParam));
  return result_;
}

bool DialogWindow::CreateModeless(HWND owner) {
  modal_ = false;
  if (!Create(owner)) return false;
  ShowWindow(hwnd_, SW_SHOW);
  return true;
}

void DialogWindow::End(INT_PTR result) {
  result_ = result;
  ended_ = true;
  if (!modal_) Destroy();
  else if (hwnd_ != nullptr) PostMessageW(hwnd_, WM_NULL, 0, 0);  // wakes the loop
}

void DialogWindow::Destroy() {
  if (hwnd_ == nullptr) return;
  HWND hwnd = hwnd_;
  DestroyWindow(hwnd);  // WM_DESTROY, then WM_NCDESTROY clears hwnd_
  hwnd_ = nullptr;
}

void DialogWindow::SetControlText(int id, const std::string& text) { SetDlgItemTextW(hwnd_, id, Widen(text).c_str()); }

std::string DialogWindow::ControlText(int id) const {
  HWND control = Control(id);
  if (control == nullptr) return {};
  const int length = GetWindowTextLengthW(control);
  std::wstring text(static_cast<size_t>(length) + 1, L'\0');
  const int got = GetWindowTextW(control, text.data(), length + 1);
  text.resize(static_cast<size_t>(got > 0 ? got : 0));
  return Narrow(text);
}

void DialogWindow::EnableControl(int id, bool enabled) {
  if (HWND control = Control(id)) EnableWindow(control, enabled ? TRUE : FALSE);
}

void DialogWindow::ShowControl(int id, bool shown) {
  if (HWND control = Control(id)) ShowWindow(control, shown ? SW_SHOW : SW_HIDE);
}

bool DialogWindow::IsChecked(int id) const { return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED; }

void DialogWindow::SetChecked(int id, bool checked) {
  CheckDlgButton(hwnd_, id, checked ? BST_CHECKED : BST_UNCHECKED);
}

void DialogWindow::SetTitle(const std::string& text) { SetWindowTextW(hwnd_, Widen(text).c_str()); }

LRESULT DialogWindow::SendControl(int id, UINT message, WPARAM wParam, LPARAM lParam) const {
  return SendDlgItemMessageW(hwnd_, id, message, wParam, lParam);
}

void DialogWindow::StartTimer(UINT_PTR id, UINT milliseconds) { SetTimer(hwnd_, id, milliseconds, nullptr); }

void DialogWindow::StopTimer(UINT_PTR id) { KillTimer(hwnd_, id); }

bool DialogWindow::Post(UINT message, WPARAM wParam, LPARAM lParam) const {
  HWND hwnd = hwnd_;
  return hwnd != nullptr && PostMessageW(hwnd, message, wParam, lParam) != 0;
}

bool DialogWindow::OnCommand(int id, int, HWND) {
  if (id != IDCANCEL) return false;
  End(IDCANCEL);
  return true;
}

INT_PTR CALLBACK DialogWindow::DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  DialogWindow* self = nullptr;
  if (message == WM_INITDIALOG) {
    self = reinterpret_cast<DialogWindow*>(lParam);
    SetWindowLongPtrW(hwnd, DWLP_USER, lParam);
    self->hwnd_ = hwnd;
  } else {
    self = reinterpret_cast<DialogWindow*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (self == nullptr) return FALSE;
  const INT_PTR result = self->Dispatch(message, wParam, lParam);
  if (message == WM_NCDESTROY) {
    SetWindowLongPtrW(hwnd, DWLP_USER, 0);
    self->hwnd_ = nullptr;
  }
  return result;
}

INT_PTR DialogWindow::Dispatch(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_INITDIALOG: return OnInitDialog() ? TRUE : FALSE;
    case WM_COMMAND: return OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam)) ? TRUE : FALSE;
    case WM_TIMER: OnTimer(static_cast<UINT_PTR>(wParam)); return TRUE;
    case WM_DESTROY: OnDestroy(); return TRUE;
    default: {
      INT_PTR result = FALSE;
      if (OnMessage(message, wParam, lParam, result)) return result;
      return FALSE;
    }
  }
}

}  // namespace plotsend::win32
