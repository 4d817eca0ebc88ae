#pragma once
// A static text control made a hyperlink: underlined in the link colours,
// a hand cursor, a hover colour while the mouse is over it (with the mouse
// captured), a tooltip with the url, and a click that opens the url. The
// control is subclassed; its parent forwards the click notification and
// WM_CTLCOLORSTATIC to it, since those go to the parent.
#include <windows.h>

#include <string>

#include "ui/hyperlink.h"

namespace plotsend::win32 {

// The system side of opening a link: ShellExecuteW, the classes root of the
// registry, CreateProcessW.
class WinHyperLinkPort final : public HyperLinkPort {
 public:
  // classesRoot: HKEY_CLASSES_ROOT, or another open key that stands for it.
  explicit WinHyperLinkPort(HKEY classesRoot = HKEY_CLASSES_ROOT) : root_(classesRoot) {}
  int ShellOpen(const std::string& target, int showCommand) override;
  long ReadClassesRootDefault(const std::string& subKey, std::string& value) override;
  int RunCommandLine(const std::string& commandLine, int showCommand) override;

 private:
  HKEY root_;
};

// The default value of root\subKey (REG_SZ, or REG_EXPAND_SZ expanded), of
// any length. ERROR_SUCCESS, or the registry's error (ERROR_FILE_NOT_FOUND
// when the key has no default value, ERROR_INVALID_DATA when it is not text).
LONG ReadRegistryDefault(HKEY root, const std::wstring& subKey, std::wstring& value);

// A CreateProcessW failure as the program-start code WinExec gives for it.
int WinExecCode(DWORD error);
// What WinExec returns for a program that started.
inline constexpr int kWinExecStarted = 33;

class HyperLinkControl {
 public:
  // Opens links through the system.
  HyperLinkControl();
  // Opens links through `port`, which must outlive the control.
  explicit HyperLinkControl(HyperLinkPort& port);
  HyperLinkControl(const HyperLinkControl&) = delete;
  HyperLinkControl& operator=(const HyperLinkControl&) = delete;
  ~HyperLinkControl();

  CHyperLink& Link() { return link_; }
  const CHyperLink& Link() const { return link_; }
  HWND Handle() const { return hwnd_; }

  // Makes the static control `control` the link: notify style, url and text,
  // underlined font, fitted size, hand cursor, tooltip. False when it cannot
  // be subclassed (the control is then left as it was).
  bool Attach(HWND control);

  // Resizes the control to its text, keeping the edge or centre its
  // alignment holds; only when fitToText is set.
  void FitToText();
  // The help program's hand cursor, else the system's.
  void LoadHandCursor();
  void SetVisited(bool visited);
  // The url opened with the shell or the ".htm" browser; the open code.
  int OpenLink(const std::string& url, int showCommand);
  // Beeps are the caller's; this shows the text for `code` in a message box.
  void ShowOpenError(int code);
  // Opens the url; marks the link visited, or beeps and explains a failure.
  void HandleClick();
  // The colours for WM_CTLCOLORSTATIC: text colour by state, transparent
  // background, no brush.
  HBRUSH CtlColor(HDC dc) const;

  // For the parent: true when the message was this control's click
  // (WM_COMMAND from `control` with `code`), which is then handled.
  bool OnParentCommand(int code, HWND control);
  // For the parent: true when the message was this control's
  // WM_CTLCOLORSTATIC; `result` is the dialog procedure's answer.
  bool OnParentMessage(UINT message, WPARAM wParam, LPARAM lParam, INT_PTR& result);

 private:
  static LRESULT CALLBACK SubclassProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR id,
                                       DWORD_PTR self);
  LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam);
  void OnMouseMove(LPARAM lParam);
  void ApplyHoverChange(HoverChange change);
  void Redraw();
  void SetLinkFont();
  void CreateToolTip();
  void RelayToToolTip(UINT message, WPARAM wParam, LPARAM lParam);
  // destroying: the control is going too (WM_NCDESTROY).
  void Detach(bool destroying);

  WinHyperLinkPort systemPort_;
  HyperLinkPort& port_;
  CHyperLink link_;
  HWND hwnd_ = nullptr;
  HFONT originalFont_ = nullptr;
  HFONT linkFont_ = nullptr;
  HCURSOR handCursor_ = nullptr;
  bool ownsCursor_ = false;
  HWND toolTip_ = nullptr;
  std::wstring toolText_;
};

}  // namespace plotsend::win32
