#pragma once
// A small dialog layer over Win32: a dialog made from a template resource,
// run modally (its own message loop, the owner disabled meanwhile) or
// modelessly, with its controls reached by id, its messages dispatched to
// virtual handlers, timers, and messages posted from other threads. Texts
// are UTF-8 here and UTF-16 at the API.
#include <windows.h>

#include <string>

namespace plotsend::win32 {

// Texts for the controls: UTF-8 that is not UTF-8 is shown byte by byte.
std::wstring Widen(const std::string& utf8);
std::string Narrow(const std::wstring& text);

class DialogWindow {
 public:
  explicit DialogWindow(int templateId) : templateId_(templateId) {}
  DialogWindow(const DialogWindow&) = delete;
  DialogWindow& operator=(const DialogWindow&) = delete;
  virtual ~DialogWindow();

  // Creates the dialog, disables the owner and runs the message loop until
  // End; returns End's result, or -1 when the dialog could not be created.
  INT_PTR RunModal(HWND owner);
  // Creates the dialog and returns; false when it could not be created.
  bool CreateModeless(HWND owner);
  // Ends a modal dialog with `result`; destroys a modeless one.
  void End(INT_PTR result);
  void Destroy();

  HWND Handle() const { return hwnd_; }
  HWND Control(int id) const { return GetDlgItem(hwnd_, id); }
  void SetControlText(int id, const std::string& text);
  std::string ControlText(int id) const;
  void EnableControl(int id, bool enabled);
  void ShowControl(int id, bool shown);
  bool IsChecked(int id) const;
  void SetChecked(int id, bool checked);
  void SetTitle(const std::string& text);
  LRESULT SendControl(int id, UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;
  void StartTimer(UINT_PTR id, UINT milliseconds);
  void StopTimer(UINT_PTR id);
  // Safe from any thread; false when the window is gone or the queue is full.
  bool Post(UINT message, WPARAM wParam = 0, LPARAM lParam = 0) const;

 protected:
  // WM_INITDIALOG; return true to let the system set the focus.
  virtual bool OnInitDialog() { return true; }
  // WM_COMMAND; true when handled. IDCANCEL (Esc, close box) ends the
  // dialog with IDCANCEL unless handled here.
  virtual bool OnCommand(int id, int code, HWND control);
  virtual void OnTimer(UINT_PTR) {}
  virtual void OnDestroy() {}
  // Any other message; true when handled, with the dialog procedure's result.
  virtual bool OnMessage(UINT, WPARAM, LPARAM, INT_PTR&) { return false; }
  // Seen by a modal dialog's loop before dispatch; true when consumed.
  virtual bool PreTranslateMessage(MSG&) { return false; }

 private:
  static INT_PTR CALLBACK DialogProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR Dispatch(UINT message, WPARAM wParam, LPARAM lParam);
  bool Create(HWND owner);

  int templateId_;
  HWND hwnd_ = nullptr;
  bool modal_ = false;
  bool ended_ = false;
  INT_PTR result_ = 0;
};

}  // namespace plotsend::win32
